// The settings file is edited by hand: reading and rewriting it must survive any bytes, and a
// value written must read back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "storage/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    (void)qlm::ReadProfileValue(content, "Path", "FilePath");
    const std::string rewritten = qlm::WriteProfileValue(content, "Path", "FilePath", "/srv/qlm");
    const auto back = qlm::ReadProfileValue(rewritten, "Path", "FilePath");
    if (!back || *back != "/srv/qlm") {
        std::abort();
    }
    return 0;
}
