#include "storage/FileError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qlm {

FileError::FileError(int number, std::string description, std::string path)
    : std::runtime_error(description + (path.empty() ? "" : " (" + path + ")")),
      m_number(number),
      m_description(std::move(description)),
      m_path(std::move(path)) {}

bool FileError::locationUnavailable() const {
    switch (m_number) {
        case BadFileName:
        case FileNotFound:
        case DeviceIO:
        case DiskNotReady:
        case PathNotFound:
            return true;
        default:
            return false;
    }
}

namespace {

// ENOENT means either the file or a folder on its way is missing; which one decides
// between "file not found" and "path not found".
bool parentFolderExists(const std::string& path) {
    std::error_code ec;
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec);
}

}  // namespace

FileError FileError::fromErrno(int err, const std::string& path) {
    switch (err) {
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
            return {BadFileName, "Bad file name", path};
        case ENOENT:
            if (parentFolderExists(path)) {
                return {FileNotFound, "File not found", path};
            }
            return {PathNotFound, "Path not found", path};
        case ENOTDIR:
        case ELOOP:
            return {PathNotFound, "Path not found", path};
        case EIO:
            return {DeviceIO, "Device I/O error", path};
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return {PermissionDenied, "Permission denied", path};
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
        case EHOSTDOWN:
        case ESTALE:
            return {DiskNotReady, "Disk not ready", path};
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return {DiskFull, "Disk full", path};
        default:
            return {PathFileAccess, std::string("Path/File access error: ") + std::strerror(err),
                    path};
    }
}

}  // namespace qlm
