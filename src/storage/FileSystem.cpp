#include "storage/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <thread>

#include "storage/FileError.h"

namespace qlm {

namespace {

[[noreturn]] void fail(const std::string& path) {
    throw FileError::fromErrno(errno, path);
}

// What replaceFile writes before the file takes its place: the file's name, this, and six
// characters of mkstemp's.
constexpr std::string_view TemporaryMark = ".tmp";
// The one fixed name earlier versions wrote their temporaries under.
constexpr std::string_view OldTemporaryMark = ".new";

FileError notPlainFile(const std::string& path, mode_t mode) {
    const char* kind = S_ISDIR(mode)                    ? "a folder"
                       : S_ISFIFO(mode)                 ? "a named pipe"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                        : "not a plain file";
    return {FileError::PathFileAccess, std::string("Path/File access error: ") + kind, path};
}

// A named pipe, a device or a folder is refused by its type before it is opened for reading,
// which could wait for ever.
void refuseSpecialFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        throw notPlainFile(path, st.st_mode);
    }
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

int FileSystem::injected(FileOp op, const std::string& path) const {
    return m_injector ? m_injector(op, path) : 0;
}

void FileSystem::check(FileOp op, const std::string& path) const {
    if (const int err = injected(op, path); err != 0) {
        throw FileError::fromErrno(err, path);
    }
}

File FileSystem::open(const std::string& path, Mode mode) const {
    if (path.empty()) {
        throw FileError(FileError::BadFileName, "Bad file name", path);
    }
    check(FileOp::Open, path);
    refuseSpecialFile(path);
    int flags = O_CLOEXEC | O_NONBLOCK;
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
    File file(fd, path, this);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        fail(path);
    }
    if (!S_ISREG(st.st_mode)) {  // it was swapped for one since it was looked at
        throw notPlainFile(path, st.st_mode);
    }
    return file;
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

void FileSystem::rename(const std::string& from, const std::string& to) const {
    check(FileOp::Rename, from);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        fail(from);
    }
}

std::string FileSystem::readFile(const std::string& path, std::int64_t maxSize) const {
    const File file = open(path, Mode::Read);
    if (const std::int64_t size = file.size(); maxSize >= 0 && size > maxSize) {
        throw FileError(FileError::PathFileAccess,
                        "Path/File access error: " + std::to_string(size) +
                            " bytes, larger than such a file can be",
                        path);
    }
    return file.readAll();
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

// A file shared by a group stays shared: the new file takes the old one's group and mode.
// Where that cannot be done the replace is refused rather than shutting the others out.
void keepModeAndGroup(int fd, const struct stat& old, const std::string& path) {
    const mode_t mode = old.st_mode & 0777;
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        fail(path);
    }
    if (now.st_gid != old.st_gid && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 &&
        (mode & 070) != 0) {
        throw FileError(FileError::PermissionDenied,
                        "Permission denied: the file's group (" + std::to_string(old.st_gid) +
                            ") cannot be kept by this account",
                        path);
    }
    if ((now.st_mode & 0777) != mode && ::fchmod(fd, mode) != 0) {
        fail(path);
    }
}

// A file made beside `sharedLike` takes its group and read and write permissions, so that
// every account sharing that file can use this one too; where that fails, this account still
// can.
void shareLike(int fd, const std::string& sharedLike) {
    struct stat like {};
    if (!sharedLike.empty() && ::stat(sharedLike.c_str(), &like) == 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), like.st_gid) == 0) {
        ::fchmod(fd, (like.st_mode & 0660) | 0600);
    }
}

// Opens `path` with `flags`, made first where it is missing: owner-only, or shared like
// `sharedLike`.
int openOrMake(const std::string& path, int flags, const std::string& sharedLike) {
    int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
        shareLike(fd, sharedLike);
        return fd;
    }
    if (errno == EEXIST) {
        fd = ::open(path.c_str(), flags);
    }
    if (fd < 0) {
        fail(path);
    }
    return fd;
}

}  // namespace

std::string FileSystem::followLinks(const std::string& path) {
    std::string at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return at;
        }
        char target[4096];
        const ssize_t length = ::readlink(at.c_str(), target, sizeof target);
        if (length < 0 || length == static_cast<ssize_t>(sizeof target)) {
            throw FileError::fromErrno(length < 0 ? errno : ENAMETOOLONG, path);
        }
        std::string next(target, static_cast<std::size_t>(length));
        if (next.front() != '/') {
            const auto slash = at.rfind('/');
            next = (slash == std::string::npos ? std::string() : at.substr(0, slash + 1)) + next;
        }
        at = std::move(next);
    }
    throw FileError::fromErrno(ELOOP, path);
}

void FileSystem::replaceFile(const std::string& path, std::string_view bytes) const {
    if (path.empty()) {
        throw FileError(FileError::BadFileName, "Bad file name", path);
    }
    check(FileOp::Open, path);
    const std::string target = followLinks(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) {
        throw notPlainFile(path, old.st_mode);
    }
    std::string temporary = target + std::string(TemporaryMark) + "XXXXXX";
    int fd;
    do {
        fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        fail(path);
    }
    try {
        File file(fd, path, this);
        if (replacing) {
            keepModeAndGroup(fd, old, path);
        }
        file.write(bytes);
        file.sync();
        if (file.size() != static_cast<std::int64_t>(bytes.size())) {
            throw FileError(FileError::DeviceIO, "Device I/O error: the file was not written whole",
                            path);
        }
        file.close();
        check(FileOp::Rename, path);
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            fail(path);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    syncFolderOf(target);
}

bool FileSystem::isLeftoverOf(std::string_view name, std::string_view file) {
    if (!name.starts_with(file)) {
        return false;
    }
    const std::string_view rest = name.substr(file.size());
    return rest == OldTemporaryMark ||
           (rest.size() == TemporaryMark.size() + 6 && rest.starts_with(TemporaryMark));
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

FileLock::~FileLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // gives the lock back
    }
}

FileLock FileSystem::lock(const std::string& path, std::chrono::milliseconds patience,
                          const std::string& sharedLike) const {
    check(FileOp::Open, path);
    refuseSpecialFile(path);
    FileLock held(openOrMake(path, O_RDWR | O_CLOEXEC | O_NONBLOCK, sharedLike));
    const int fd = held.m_fd;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        int err = injected(FileOp::Lock, path);
        if (err == 0) {
            struct flock range {};
            range.l_type = F_WRLCK;
            range.l_whence = SEEK_SET;
            if (::fcntl(fd, F_OFD_SETLK, &range) == 0) {
                return held;
            }
            err = errno;
        }
        if (err != EAGAIN && err != EACCES && err != EINTR) {
            throw FileError::fromErrno(err, path);
        }
        if (err != EINTR && std::chrono::steady_clock::now() >= deadline) {
            throw FileError(FileError::InUse, "The data location is kept locked by another program",
                            path);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void FileSystem::appendLines(const std::string& path, std::string_view lines,
                             const std::string& sharedLike) const {
    check(FileOp::Open, path);
    File file(openOrMake(path, O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, sharedLike),
              path, this);
    struct stat st {};
    if (::fstat(file.m_fd, &st) != 0) {
        fail(path);
    }
    if (!S_ISREG(st.st_mode)) {
        throw notPlainFile(path, st.st_mode);
    }
    // What an earlier append left cut short is ended first, so that no line runs into another.
    char last = '\n';
    if (st.st_size > 0 && ::pread(file.m_fd, &last, 1, st.st_size - 1) != 1) {
        fail(path);
    }
    const std::string bytes = (last == '\n' ? "" : "\n") + std::string(lines);
    check(FileOp::Write, path);
    // One write, so that the lines of programs appending at once never interleave.
    std::string_view rest = bytes;
    if (injected(FileOp::ShortWrite, path) != 0) {
        rest = rest.substr(0, rest.size() / 2);
    }
    while (!rest.empty()) {
        const ssize_t put = ::write(file.m_fd, rest.data(), rest.size());
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(path);
        }
        rest.remove_prefix(static_cast<std::size_t>(put));
    }
    check(FileOp::ShortWrite, path);
    file.sync();
    file.close();
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
