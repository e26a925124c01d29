#include "platform/sys/program_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace {

// The folder of the running program, from the kernel's link; empty when it cannot be read.
std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof path)
        return {};
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}

}  // namespace

void* ProgramModuleSymbol(const std::string& relativePath, const char* symbol, std::string* reason) {
    const std::string folder = ProgramFolder();
    if (folder.empty()) {
        *reason = "the program's own path cannot be read from /proc/self/exe";
        return nullptr;
    }
    // Never closed: what the module made lives until the program ends.
    void* module = dlopen((folder + '/' + relativePath).c_str(), RTLD_NOW | RTLD_LOCAL);
    void* address = module ? dlsym(module, symbol) : nullptr;
    if (!address) {
        const char* error = dlerror();
        *reason = error ? error : symbol + std::string(" is null in ") + relativePath;
    }
    return address;
}
