#pragma once

#include <stdexcept>
#include <string>

namespace qlm {

// A failure of the file layer, classed the way the screens report it:
// 52 bad file name, 53 file not found, 57 device I/O error, 70 permission denied,
// 71 disk not ready, 76 path not found; anything else keeps a number of its own. Two programs
// sharing a data location meet the database engine's classes: a location locked too long
// (3260) and a record changed by the other program since it was read (3197).
class FileError : public std::runtime_error {
public:
    enum Class : int {
        BadFileName = 52,
        FileNotFound = 53,
        DeviceIO = 57,
        DiskFull = 61,
        BadRecordNumber = 63,
        PermissionDenied = 70,
        DiskNotReady = 71,
        PathFileAccess = 75,
        PathNotFound = 76,
        ChangedElsewhere = 3197,
        InUse = 3260,
    };

    FileError(int number, std::string description, std::string path = {});

    int number() const { return m_number; }
    const std::string& description() const { return m_description; }
    const std::string& path() const { return m_path; }

    // True for the classes that mean "the location cannot be used" (52, 53, 57, 71, 76).
    bool locationUnavailable() const;

    // Maps an errno value from an operation on `path` onto the classes above. The one place
    // where operating-system errors become FileError values.
    static FileError fromErrno(int err, const std::string& path);

private:
    int m_number;
    std::string m_description;
    std::string m_path;
};

}  // namespace qlm
