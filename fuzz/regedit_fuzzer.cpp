// libFuzzer target for the REGEDIT4 reader: any bytes must parse without a fault, and
// whatever was read must come back unchanged after being written and read again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sys/regedit_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::string_view section = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon";
    const RegValueList values = RegeditFile::Parse({reinterpret_cast<const char*>(data), size}, section);
    const std::string written = RegeditFile::Format(section, values);
    // A text beyond the reader's size limit is not read whole, by design.
    if (written.size() > RegeditFile::MaxTextSize)
        return 0;
    const RegValueList again = RegeditFile::Parse(written, section);
    if (again.Values() != values.Values())
        std::abort();
    return 0;
}
