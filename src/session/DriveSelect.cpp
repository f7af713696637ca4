#include "session/DriveSelect.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "session/DataLocation.h"
#include "session/Session.h"
#include "session/Settings.h"
#include "storage/FileError.h"

namespace qlm {

namespace {

constexpr const char* DataDiskError = "Data Disk Error";
// The message boxes of the data disk separate their paragraphs with two carriage returns.
constexpr const char* Paragraph = "\r\r";

const std::string& exitAdvice() {
    static const std::string text =
        std::string("If you wish to change test programs or data disks, you must first exit the ") +
        "program currently running on your computer.  To exit the program, select the " +
        "Exit Application option on the Main Menu.  Wait for the disk drive light to " +
        "turn off, then change data disks and start the new program.";
    return text;
}

// /proc/mounts writes blanks, tabs, line ends and backslashes in names as octal escapes.
std::string unescapeMountField(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::isdigit(static_cast<unsigned char>(field[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 3]))) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool isSystemFolder(const std::string& mountPoint) {
    static const char* const system[] = {"/proc", "/sys", "/dev", "/run", "/boot", "/snap"};
    if (mountPoint.starts_with("/run/media/")) {
        return false;
    }
    return std::any_of(std::begin(system), std::end(system), [&](const char* folder) {
        const std::string prefix(folder);
        return mountPoint == prefix || mountPoint.starts_with(prefix + "/");
    });
}

bool isNetworkShare(const std::string& type) {
    static const char* const types[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs"};
    return std::find(std::begin(types), std::end(types), type) != std::end(types);
}

}  // namespace

Message NoTestInformationMessage(const std::string& path) {
    // As typed: on this platform a folder in capitals is another folder.
    return {"No test information found on drive " + path + ", would you like to try another drive?",
            "", MsgIcon::None, MsgButtons::YesNo};
}

Message AccessDeniedMessage() {
    return {
        "Data disk cannot be read!\r\n\r\nAsk for the right to read the data folder, then "
        "choose OK to try again.",
        DataDiskError, MsgIcon::Critical, MsgButtons::OKCancel};
}

Message OtherErrorMessage(const FileError& error) {
    return {"Error " + std::to_string(error.number()) + ":" + error.description(), "",
            MsgIcon::None, MsgButtons::OK};
}

Message DataDiskChangedMessage() {
    return {std::string("Original data disk not found!") + Paragraph +
                "The data location used when the program was started is no longer available "
                "(a USB stick removed, or a network share disconnected)." +
                Paragraph + "It is VERY important that the data disk not be removed or changed " +
                "while the program is running.  Corruption of the client database " +
                "may occur, possibly making the data disk unusable." + Paragraph + exitAdvice() +
                Paragraph + "Please re-insert the original data disk" + " and click OK.",
            "Data Disk Changed", MsgIcon::Critical, MsgButtons::OK};
}

Message DataDiskStillNotFoundMessage() {
    return {std::string("Original data disk still not found!") + Paragraph +
                "The data location used when the program was started is not available (a USB "
                "stick removed, or a network share disconnected)." +
                Paragraph +
                "The test program must be closed and re-opened to use a different data disk." +
                Paragraph + exitAdvice() + Paragraph + "This test program will now shut down.",
            "Data Disk Not Found", MsgIcon::Critical, MsgButtons::OK};
}

Message DriveHelpMessage() {
    return {
        "Use the dropdown box to select the folder that holds the data: a\r\n"
        "folder of your own, a USB stick (usually under /media) or a\r\n"
        "network share. Browse... chooses any other folder.",
        "", MsgIcon::None, MsgButtons::OK};
}

LocationOutcome SelectDataLocation(
    Session& session, bool atStartup, Messages& messages,
    const std::function<std::optional<std::string>()>& chooseLocation) {
    const Settings& settings = session.Settings;
    // Giving up keeps the location in use; at start-up, where there is none yet, the program
    // goes on with the user's own folder rather than ending.
    const auto giveUp = [&] {
        if (!atStartup || !session.DataPath.empty()) {
            return LocationOutcome::Kept;
        }
        try {
            if (!session.OwnDataPath.empty()) {
                OpenForUse(session, session.OwnDataPath);
                return LocationOutcome::Kept;
            }
        } catch (const FileError& error) {
            messages.show(OtherErrorMessage(error));
        }
        return LocationOutcome::EndProgram;
    };
    bool firstTry = true;
    for (;;) {
        std::string path;
        // The user's own folder, stood in for a FilePath that names none, is not stored: the
        // user follows an administrator who names one later.
        bool remember = true;
        if (atStartup && firstTry) {
            path = StoredDataPath(session);
            remember = path == settings.GetINIFilePath();
            firstTry = false;
        } else if (auto chosen = chooseLocation()) {
            path = *chosen;
        } else {
            return giveUp();
        }
        for (;;) {
            try {
                OpenForUse(session, path);
                if (remember) {
                    settings.WriteINIFilePath(path);
                }
                return LocationOutcome::Opened;
            } catch (const FileError& error) {
                if (error.locationUnavailable()) {
                    if (messages.show(NoTestInformationMessage(path)) == MsgAnswer::Yes) {
                        break;
                    }
                    return LocationOutcome::EndProgram;
                }
                if (error.number() == FileError::PermissionDenied) {
                    if (messages.show(AccessDeniedMessage()) == MsgAnswer::OK) {
                        continue;
                    }
                    return giveUp();
                }
                messages.show(OtherErrorMessage(error));
                return giveUp();
            }
        }
    }
}

bool CheckDataLocation(Session& session, Messages& messages) {
    return CheckDataLocation(
        session, [&] { messages.show(DataDiskChangedMessage()); },
        [&] { messages.show(DataDiskStillNotFoundMessage()); });
}

void OpenForUse(Session& session, const std::string& path) {
    try {
        OpenDataLocation(session, path);
    } catch (const FileError& error) {
        if (error.number() != FileError::PermissionDenied) {
            throw;
        }
        OpenDataLocation(session, path, LocationUse::ReadOnly);
    }
}

Message ProgramFileMessage(const FileError& error) {
    return {"The program file " + error.path() + " cannot be read.\r\n\r\nError " +
                std::to_string(error.number()) + ":" + error.description() +
                "\r\n\r\nPut the file back in that folder (or install the program again), "
                "then choose OK to try again.",
            "Program File Error", MsgIcon::Critical, MsgButtons::OKCancel};
}

bool RetryAfterProgramFileError(const FileError& error, Messages& messages) {
    return messages.show(ProgramFileMessage(error)) == MsgAnswer::OK;
}

std::vector<std::string> MountedVolumes(std::string_view procMounts) {
    std::vector<std::string> volumes;
    std::istringstream lines{std::string(procMounts)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        std::string type;
        if (!(fields >> device >> mountPoint >> type)) {
            continue;
        }
        mountPoint = unescapeMountField(mountPoint);
        const bool storage = device.starts_with("/dev/") || isNetworkShare(type);
        if (storage && type != "squashfs" && !isSystemFolder(mountPoint) &&
            std::find(volumes.begin(), volumes.end(), mountPoint) == volumes.end()) {
            volumes.push_back(mountPoint);
        }
    }
    return volumes;
}

}  // namespace qlm
