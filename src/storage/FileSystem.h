#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlm {

// Every operation of the file layer, so that a fault can be injected into exactly one of them.
// ShortWrite fails a write after half of its bytes are written, as a disk that fills up does;
// Lock is each attempt to take an advisory lock (EAGAIN: another program holds it).
enum class FileOp {
    Open,
    Read,
    Write,
    ShortWrite,
    Sync,
    Close,
    Remove,
    Rename,
    MakeFolder,
    List,
    Lock
};

// Returns the errno value with which the operation on `path` must fail, or 0 to let it run.
using FaultInjector = std::function<int(FileOp, const std::string& path)>;

class FileSystem;

// An open file; closed when it goes out of scope. Errors throw FileError.
class File {
public:
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    std::int64_t size() const;
    std::string readAll() const;
    void writeAt(std::int64_t offset, std::string_view bytes);
    // Appends after what was written through this handle.
    void write(std::string_view bytes);
    // Flushes what was written to the disk.
    void sync();
    // Closes now, reporting a failure that a destructor would have to swallow.
    void close();

private:
    friend class FileSystem;
    File(int fd, std::string path, const FileSystem* fs);
    void check(FileOp op) const;
    void writeAll(std::int64_t offset, std::string_view bytes);

    int m_fd = -1;
    std::string m_path;
    const FileSystem* m_fs = nullptr;
    std::int64_t m_position = 0;
};

// An advisory lock on a lock file, held until this goes out of scope. Open-file-description
// locks: two handles conflict even within one process, and NFS honours them too.
class FileLock {
public:
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    friend class FileSystem;
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

// The file layer: plain POSIX files, with a seam through which tests inject device and
// permission errors (the tests run as root, for whom permission bits mean nothing).
class FileSystem {
public:
    enum class Mode {
        Read,             // existing file, read only
        ReadWriteCreate,  // read and write, created empty (owner-only) when missing
        WriteTruncate,    // write only, created or emptied
    };

    explicit FileSystem(FaultInjector injector = {});

    // Only a plain file is opened: a named pipe, a device or a folder is refused at once.
    File open(const std::string& path, Mode mode) const;
    bool exists(const std::string& path) const;
    // Removes a file; a missing file is not an error.
    void remove(const std::string& path) const;
    // Gives a file another name in the same folder, replacing what had that name.
    void rename(const std::string& from, const std::string& to) const;
    // The whole file; one larger than `maxSize` bytes (when given) is refused before reading.
    std::string readFile(const std::string& path, std::int64_t maxSize = -1) const;
    // Replaces the file as a whole: the new content goes to a temporary of its own beside the
    // file, is checked to be on the disk complete, and only then takes the file's place. The
    // old file's mode and group are kept (a new file is owner-only); a symbolic link is
    // followed and its target replaced. Errors name `path`, never the temporary.
    void replaceFile(const std::string& path, std::string_view bytes) const;
    // Whether `name` is what replaceFile may leave of `file` (both plain names) after a crash.
    static bool isLeftoverOf(std::string_view name, std::string_view file);
    // The file `path` names once every symbolic link to it is followed; it need not exist.
    static std::string followLinks(const std::string& path);
    // Takes the advisory lock of the lock file `path`, trying again until `patience` has
    // passed; then a FileError of class InUse says that another program holds it. A missing
    // lock file is made owner-only, or with the group and the read and write permissions of
    // `sharedLike` where that file exists, so that every account sharing it can lock too.
    FileLock lock(const std::string& path, std::chrono::milliseconds patience,
                  const std::string& sharedLike = {}) const;
    // Appends whole `lines` to the file `path` in one write, after ending a last line that an
    // earlier failed append cut short, and has them on the disk before it returns. A missing
    // file is made as lock() makes one; a symbolic link is never followed, so that a link
    // planted in a shared folder cannot send the lines elsewhere.
    void appendLines(const std::string& path, std::string_view lines,
                     const std::string& sharedLike = {}) const;
    // Creates a folder readable by its owner only; one that is there already is kept as it is.
    void makeFolder(const std::string& path) const;
    // The names of the plain files in a folder, sorted; a missing folder holds none.
    std::vector<std::string> listFolder(const std::string& path) const;

    // Throws the injected fault for `op` on `path`, if any.
    void check(FileOp op, const std::string& path) const;

private:
    // The injected errno value for `op` on `path`, or 0.
    int injected(FileOp op, const std::string& path) const;

    FaultInjector m_injector;
};

}  // namespace qlm
