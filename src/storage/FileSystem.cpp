#include "storage/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "storage/FileError.h"

namespace qlm {

namespace {

[[noreturn]] void fail(const std::string& path) {
    throw FileError::fromErrno(errno, path);
}

}  // namespace

File::File(int fd, std::string path, const FileSystem* fs)
    : m_fd(fd), m_path(std::move(path)), m_fs(fs) {}

File::File(File&& other) noexcept
    : m_fd(other.m_fd),
      m_path(std::move(other.m_path)),
      m_fs(other.m_fs),
      m_position(other.m_position) {
    other.m_fd = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = other.m_fd;
        m_path = std::move(other.m_path);
        m_fs = other.m_fs;
        m_position = other.m_position;
        other.m_fd = -1;
    }
    return *this;
}

File::~File() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void File::check(FileOp op) const {
    m_fs->check(op, m_path);
}

std::int64_t File::size() const {
    check(FileOp::Read);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        fail(m_path);
    }
    return st.st_size;
}

std::string File::readAll() const {
    check(FileOp::Read);
    std::string bytes;
    char buffer[65536];
    std::int64_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(m_fd, buffer, sizeof buffer, offset);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(m_path);
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

void File::writeAt(std::int64_t offset, std::string_view bytes) {
    check(FileOp::Write);
    // In two halves, so that an injected short write leaves the first half on the disk.
    const std::size_t half = bytes.size() / 2;
    writeAll(offset, bytes.substr(0, half));
    check(FileOp::ShortWrite);
    writeAll(offset + static_cast<std::int64_t>(half), bytes.substr(half));
}

void File::writeAll(std::int64_t offset, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done,
                                     offset + static_cast<std::int64_t>(done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(m_path);
        }
        done += static_cast<std::size_t>(put);
    }
}

void File::write(std::string_view bytes) {
    writeAt(m_position, bytes);
    m_position += static_cast<std::int64_t>(bytes.size());
}

void File::sync() {
    check(FileOp::Sync);
    if (::fsync(m_fd) != 0) {
        fail(m_path);
    }
}

void File::close() {
    if (m_fd < 0) {
        return;
    }
    const int fd = m_fd;
    m_fd = -1;
    try {
        m_fs->check(FileOp::Close, m_path);
    } catch (...) {
        // The handle is given back even when the close is reported as failed.
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) {
        fail(m_path);
    }
}

FileSystem::FileSystem(FaultInjector injector) : m_injector(std::move(injector)) {}

void FileSystem::check(FileOp op, const std::string& path) const {
    if (m_injector) {
        if (const int err = m_injector(op, path); err != 0) {
            throw FileError::fromErrno(err, path);
        }
    }
}

File FileSystem::open(const std::string& path, Mode mode) const {
    if (path.empty()) {
        throw FileError(FileError::BadFileName, "Bad file name", path);
    }
    check(FileOp::Open, path);
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY;
            break;
        case Mode::ReadWriteCreate:
            flags |= O_RDWR | O_CREAT;
            break;
        case Mode::WriteTruncate:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        fail(path);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw FileError(FileError::PathFileAccess, "Path/File access error", path);
    }
    return File(fd, path, this);
}

bool FileSystem::exists(const std::string& path) const {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

void FileSystem::remove(const std::string& path) const {
    check(FileOp::Remove, path);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        fail(path);
    }
}

std::string FileSystem::readFile(const std::string& path) const {
    return open(path, Mode::Read).readAll();
}

namespace {

// The rename is durable only once the folder holding the file is on the disk too. The new
// content is in place by now, so a folder that cannot be synced is not reported as a failure.
void syncFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

void FileSystem::replaceFile(const std::string& path, std::string_view bytes) const {
    const std::string temporary = path + ".new";
    try {
        File file = open(temporary, Mode::WriteTruncate);
        file.write(bytes);
        file.sync();
        file.close();
        check(FileOp::Rename, path);
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            fail(path);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    syncFolderOf(path);
}

void FileSystem::makeFolder(const std::string& path) const {
    check(FileOp::MakeFolder, path);
    if (::mkdir(path.c_str(), 0700) != 0) {
        struct stat st {};
        if (errno != EEXIST || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            fail(path);
        }
        return;
    }
    syncFolderOf(path);
}

std::vector<std::string> FileSystem::listFolder(const std::string& path) const {
    check(FileOp::List, path);
    std::vector<std::string> names;
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        if (errno == ENOENT) {
            return names;
        }
        fail(path);
    }
    while (const dirent* entry = ::readdir(folder)) {
        struct stat st {};
        const std::string name = entry->d_name;
        if (::stat((path + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            names.push_back(name);
        }
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace qlm
