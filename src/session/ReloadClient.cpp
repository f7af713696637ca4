#include "session/ReloadClient.h"

#include "session/Session.h"
#include "storage/FileError.h"

namespace qlm {

bool ReloadClient(Session& session, int n) {
    ClientFileContents contents;
    try {
        contents = ReadClientFile(session.Files, session.ClientFileName, false);
    } catch (const FileError&) {
        return false;
    }
    // Another disk, or a file that lost or gained clients, is not this record's file.
    if (contents.count != session.NumberOfClients || n < 1 || n > contents.count) {
        return false;
    }
    const auto i = static_cast<std::size_t>(n);
    session.ClientTable[i] = contents.table[i];
    session.Damage[i] = std::move(contents.damage[i]);
    return true;
}

}  // namespace qlm
