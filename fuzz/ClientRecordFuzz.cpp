// Any bytes of a client file read as a record that writes back as 185 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "storage/ClientRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto record = qlm::ClientRecord::fromBytes(bytes);
    const std::string out = record.toBytes();
    if (out.size() != qlm::ClientRecord::Size || out.substr(0, std::min(size, out.size())) !=
                                                     bytes.substr(0, std::min(size, out.size()))) {
        std::abort();
    }
    return 0;
}
