#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlm {

// Every operation of the file layer, so that a fault can be injected into exactly one of them.
// ShortWrite fails a write after half of its bytes are written, as a disk that fills up does.
enum class FileOp { Open, Read, Write, ShortWrite, Sync, Close, Remove, Rename, MakeFolder, List };

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

    File open(const std::string& path, Mode mode) const;
    bool exists(const std::string& path) const;
    // Removes a file; a missing file is not an error.
    void remove(const std::string& path) const;
    std::string readFile(const std::string& path) const;
    // Replaces the file as a whole: the old content stays intact unless the new one is on
    // the disk complete.
    void replaceFile(const std::string& path, std::string_view bytes) const;
    // Creates a folder readable by its owner only; one that is there already is kept as it is.
    void makeFolder(const std::string& path) const;
    // The names of the plain files in a folder, sorted; a missing folder holds none.
    std::vector<std::string> listFolder(const std::string& path) const;

    // Throws the injected fault for `op` on `path`, if any.
    void check(FileOp op, const std::string& path) const;

private:
    FaultInjector m_injector;
};

}  // namespace qlm
