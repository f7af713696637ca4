#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace qlm {

class FileSystem;

inline constexpr const char* AccessLogFileName = "access.log";

// What a line of the access log records: a disclosure of client data or a change of it.
enum class AccessAction {
    View,         // a report shown on screen
    Print,        // a report sent to a printer
    Pdf,          // a report written to a PDF file
    Report,       // a report written as text by qlm
    Score,        // a client's scores printed by qlm
    Export,       // every client's scores exported
    DeleteNames,  // the clients whose names were deleted
    Verify,       // a client's answers verified by a second entry
    Edit,         // a client's record changed
    NewClient,    // a client added
    Restore,      // a backup put in place of the client file
};

// The word a line gives an action ("view", "delete-names").
const char* ActionName(AccessAction action);

// The access log of the data locations: one line per disclosure or change, appended to
// "access.log" in the data location, readable by its owner only (or by the group of a client
// file its group may write). A line holds, separated by tabs, the time in UTC (ISO 8601), the
// operating-system user, the program, the action and the client numbers ("1-3,7", "-" for none),
// never a name. A location that cannot be written (its folder, or its lock file cannot be made) has
// its lines kept in the user's own folder instead, each with the location's path as a sixth field.
class AccessLog {
public:
    AccessLog(const FileSystem& files, std::string userFolder, std::string program);

    void setProgram(std::string program) { m_program = std::move(program); }
    const std::string& userFolder() const { return m_userFolder; }

    // Appends the lines of `action` on `clients` in `location`, on the disk before it returns:
    // a report's disclosures one line per client, anything else one line. Returns the log
    // written; throws FileError when none can be.
    std::string record(
        const std::string& location, AccessAction action, const std::vector<int>& clients,
        std::chrono::system_clock::time_point now = std::chrono::system_clock::now()) const;

    // The lines about `location` (its own log and the user's lines naming it) in time order,
    // those of the day `since` (YYYY-MM-DD; empty: every day) and later.
    std::vector<std::string> read(const std::string& location, const std::string& since) const;

private:
    bool canWrite(const std::string& location) const;

    const FileSystem& m_files;
    std::string m_userFolder;
    std::string m_program;
};

}  // namespace qlm
