// PUBLISHERS.TXT and PUBLISHER.CFG are files an installation may edit: any bytes must give a
// publisher's texts or be refused with FileError. Input: PUBLISHER.CFG, a NUL byte, then
// PUBLISHERS.TXT.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "report/Publisher.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const qlm::FileSystem files;
    const std::string& folder = qlm::fuzz::ProgramFolder();
    const auto parts = qlm::fuzz::split(qlm::fuzz::text(data, size), '\0', 2);
    qlm::fuzz::writeFile(folder + "/PUBLISHER.CFG", parts[0]);
    qlm::fuzz::writeFile(folder + "/PUBLISHERS.TXT", parts.size() > 1 ? parts[1] : "");
    const qlm::PublisherCode chosen = qlm::ReadPublisherCode(files, folder);
    for (const auto code : {chosen, qlm::PublisherCode::First, qlm::PublisherCode::Second}) {
        try {
            (void)qlm::LoadPublisherTexts(files, folder, code);
        } catch (const qlm::FileError&) {
        }
    }
    return 0;
}
