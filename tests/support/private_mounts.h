#pragma once
// Mounts for one test, in a mount namespace of the test process's own (root only): a small
// tmpfs over a folder (a disk that fills up), a folder made read-only. Threads started
// afterwards by the calling thread see them; each is undone at the end.

#include <sched.h>
#include <sys/mount.h>

#include <filesystem>
#include <string>
#include <vector>

namespace decimon::test {

class PrivateMounts {
public:
    PrivateMounts()
        : ok_(unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0) {}
    ~PrivateMounts() {
        for (auto target = mounted_.rbegin(); target != mounted_.rend(); ++target)
            umount2(target->c_str(), MNT_DETACH);
    }
    PrivateMounts(const PrivateMounts&) = delete;
    PrivateMounts& operator=(const PrivateMounts&) = delete;

    bool Ok() const { return ok_; }

    // A tmpfs of `kilobytes` over `folder` (made when missing), mode 0700.
    bool Tmpfs(const std::filesystem::path& folder, int kilobytes) {
        std::filesystem::create_directories(folder);
        const std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0700";
        return Mounted(folder, mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0);
    }

    // `folder` seen read-only, even by root.
    bool ReadOnly(const std::filesystem::path& folder) {
        std::filesystem::create_directories(folder);
        return Mounted(folder, mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0) &&
               mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }

    // Undoes the last mount over `folder`.
    bool Unmount(const std::filesystem::path& folder) {
        if (umount2(folder.c_str(), MNT_DETACH) != 0)
            return false;
        std::erase(mounted_, folder.string());
        return true;
    }

private:
    bool Mounted(const std::filesystem::path& folder, bool done) {
        if (done)
            mounted_.push_back(folder.string());
        return done;
    }

    bool ok_;
    std::vector<std::string> mounted_;
};

}  // namespace decimon::test
