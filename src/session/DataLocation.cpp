#include "session/DataLocation.h"
#include "session/Operations.h"

#include <cctype>
#include <filesystem>
#include <vector>

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

// Makes the user's own data location owner-only, with whatever folders above it are missing,
// as the base directory rules ask of the folders under the data home.
void makeOwnLocation(const FileSystem& files, const std::string& path) {
    const std::filesystem::path folder(path);
    std::vector<std::filesystem::path> missing;
    for (auto at = folder; !at.empty() && at != at.root_path() && !std::filesystem::exists(at);
         at = at.parent_path()) {
        missing.push_back(at);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        files.makeFolder(it->string());
    }
}

}  // namespace

std::string StoredDataPath(const Session& session) {
    const std::string path = session.Settings.GetINIFilePath();
    const bool namesNoFolder = path.empty() || isDriveDesignation(path);
    return namesNoFolder && !session.OwnDataPath.empty() ? session.OwnDataPath : path;
}

std::string ClientFileNameFor(const std::string& dataPath) {
    return joinPath(dataPath, ClientFileBaseName);
}

bool OpenDataLocation(Session& session, const std::string& path, LocationUse use) {
    const std::string fileName = ClientFileNameFor(path);
    if (path.empty()) {
        throw FileError(FileError::BadFileName, "Bad file name", path);
    }
    const bool readOnly = use == LocationUse::ReadOnly;
    const FileSystem& files = session.Files;
    // The user's own location is there before its first write, if only as an empty one.
    const bool own = path == session.OwnDataPath && !std::filesystem::exists(path);
    if (own && !readOnly) {
        makeOwnLocation(files, path);
    }
    // Reading creates nothing, so a missing folder is found here rather than by a create.
    if (isDriveDesignation(path) || (readOnly && !own && !std::filesystem::is_directory(path))) {
        throw FileError(FileError::PathNotFound, "Path not found", path);
    }
    if (!readOnly) {
        const std::string scratch = joinPath(path, WriteTestFileName);
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
