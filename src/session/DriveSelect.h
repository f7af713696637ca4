#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Messages.h"

namespace qlm {

class FileError;
struct Session;

// The messages of choosing and checking the data location, letter for letter.
Message NoTestInformationMessage(const std::string& path);
// A location that cannot even be read; one that cannot be written opens for reading.
Message AccessDeniedMessage();
Message OtherErrorMessage(const FileError& error);
Message DataDiskChangedMessage();
Message DataDiskStillNotFoundMessage();
Message DriveHelpMessage();

enum class LocationOutcome {
    Opened,      // the location is open, its clients loaded and stored as FilePath
    Kept,        // the user gave up; the session keeps a usable location
    EndProgram,  // the program must end
};

// Chooses, opens and remembers the data location. At start-up the stored FilePath (or the
// user's own folder, StoredDataPath) is tried first without asking; after that, and always
// from the menu, `chooseLocation` (the dialog) names the path, or nothing when the user closed
// it without choosing. A location that may be read but not written opens for reading only. An
// unusable location asks whether to try another (No ends the program); one that cannot be read
// may be retried; any other error, or closing the dialog, gives up. Giving up keeps the
// location in use; at start-up, where there is none yet, the user's own folder is opened
// instead, and only when that fails too does the program end.
LocationOutcome SelectDataLocation(
    Session& session, bool atStartup, Messages& messages,
    const std::function<std::optional<std::string>()>& chooseLocation);

// Opens `path` for writing; where it may be read but not written (an archive, a
// write-protected share, another user's folder), for reading only. Throws FileError.
void OpenForUse(Session& session, const std::string& path);

// CheckDataLocation with its two messages.
bool CheckDataLocation(Session& session, Messages& messages);

// A data file of the program that cannot be read at start-up, named with its error; true when
// the user asks for the failed step to be repeated.
Message ProgramFileMessage(const FileError& error);
bool RetryAfterProgramFileError(const FileError& error, Messages& messages);

// The mount points of /proc/mounts that can hold a data location: block devices (removable
// media among them) and network shares, without the system's own pseudo file systems.
std::vector<std::string> MountedVolumes(std::string_view procMounts);

}  // namespace qlm
