#include "session/DataLocation.h"
#include "session/Operations.h"

#include <cctype>
#include <filesystem>

#include "session/Session.h"
#include "storage/ClientFile.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

// A drive designation such as "a:" or "F:\data" names no folder on this platform.
bool isDriveDesignation(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && (path.size() == 2 || path[2] == '\\' || path[2] == '/');
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

}  // namespace

std::string ClientFileNameFor(const std::string& dataPath) {
    return joinPath(dataPath, ClientFileBaseName);
}

bool OpenDataLocation(Session& session, const std::string& path, LocationUse use) {
    const std::string fileName = ClientFileNameFor(path);
    if (path.empty()) {
        throw FileError(FileError::BadFileName, "Bad file name", path);
    }
    const bool readOnly = use == LocationUse::ReadOnly;
    // Reading creates nothing, so a missing folder is found here rather than by a create.
    if (isDriveDesignation(path) || (readOnly && !std::filesystem::is_directory(path))) {
        throw FileError(FileError::PathNotFound, "Path not found", path);
    }
    if (!readOnly) {
        const std::string scratch = joinPath(path, WriteTestFileName);
        const FileSystem& files = session.Files;
        if (files.exists(scratch)) {
            files.remove(scratch);
        }
        File test = files.open(scratch, FileSystem::Mode::WriteTruncate);
        test.write("test\r\n");
        test.close();
        if (files.exists(scratch)) {
            files.remove(scratch);
        }
    }
    // Last, so that a location that fails any step leaves the session on the one it had.
    LoadClients(session, fileName, !readOnly);
    session.DataPath = path;
    return true;
}

bool CheckDataLocation(Session& session, const std::function<void()>& changed,
                       const std::function<void()>& notFound) {
    if (session.Clients.CheckDataLocation()) {
        return true;
    }
    changed();
    if (session.Clients.CheckDataLocation()) {
        return true;
    }
    notFound();
    return false;
}

}  // namespace qlm
