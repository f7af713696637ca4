#include "supervisor/DeleteNames.h"

#include <sodium.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "scoring/NumericValue.h"
#include "session/DataLocation.h"
#include "session/DriveSelect.h"
#include "session/LogAccess.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/Backup.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "ui/Messages.h"

namespace qlm {

namespace {

// The printable single-byte characters without the blanks and controls: 0x21 to 0x7E and
// 0xA1 to 0xFF, less the soft hyphen, which shows as nothing.
std::string drawable() {
    std::string all;
    for (int code = 0x21; code <= 0xFF; ++code) {
        if (code <= 0x7E || (code >= 0xA1 && code != 0xAD)) {
            all += static_cast<char>(code);
        }
    }
    return all;
}

Message warningMessage() {
    return {
        "You are about to delete the Client Name from\r\nall tests in this data location.\r\nThe "
        "ID number will be deleted as well.\r\n\r\nAre you SURE you want to do this?",
        "WARNING!", MsgIcon::Critical, MsgButtons::YesNoDefaultNo};
}

// Scrambles the record's name and marks it deleted; a name deleted already is left alone.
bool DeleteName(ClientRecord& record) {
    if (NameIsDeleted(record)) {
        return false;
    }
    std::string name = record.Name;
    ScrambleName(name);
    record.set(&ClientRecord::Name, name);
    record.set(&ClientRecord::NameDeleted, "1");
    return true;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

// The backups hold the names as they were before: they are scrambled there too. Returns the
// closing message's text, or nothing when a backup still holds names (said here already).
// `damaged` names the client file's damaged records, left as they are.
std::optional<std::string> deleteNamesInBackups(Session& session, Messages& messages,
                                                std::vector<std::string> damaged) {
    BackupRewrite done;
    try {
        done = session.Clients.RewriteBackups(DeleteName);
    } catch (const FileError& error) {
        done.failed.push_back(BackupFolderFor(session.Clients.fileName()) + " (Error " +
                              std::to_string(error.number()) + ": " + error.description() + ")");
    }
    if (!done.failed.empty()) {
        messages.show(
            {"The names are deleted in the client file, but these copies still hold them and could "
             "not be removed: " +
                 joined(done.failed) + ".\r\n\r\nRemove them by hand.",
             "Delete Names", MsgIcon::Critical, MsgButtons::OK});
        return std::nullopt;
    }
    std::string text = "Process complete. Press Enter to continue.";
    if (!done.removed.empty()) {
        text =
            "The names are deleted in the client file and its backup copies. These backups "
            "could not be read as client files and were removed: " +
            joined(done.removed) + ".\r\n\r\n" + text;
    }
    damaged.insert(damaged.end(), done.damaged.begin(), done.damaged.end());
    if (!damaged.empty()) {
        text = "These records are damaged and were left as they are, names included: " +
               joined(damaged) + ".\r\n\r\n" + text;
    }
    return text;
}

}  // namespace

void ScrambleName(std::string& name) {
    static const std::string characters = drawable();
    if (sodium_init() < 0) {
        throw std::runtime_error("the cryptography library libsodium cannot be started");
    }
    for (char& c : name) {
        if (c == ' ') {
            continue;
        }
        // Never the character it replaces, so that no letter of the name stays in its place.
        const char old = c;
        while (c == old) {
            c = characters[randombytes_uniform(static_cast<std::uint32_t>(characters.size()))];
        }
    }
}

bool NameIsDeleted(const ClientRecord& record) {
    return NumericValue(record.NameDeleted) != 0;
}

void DelNames(Session& session, Messages& messages) {
    if (messages.show(warningMessage()) != MsgAnswer::Yes) {
        return;
    }
    if (!CheckDataLocation(session, messages)) {
        return;
    }
    ClientStore& store = session.Clients;
    std::vector<std::string> damaged;
    std::vector<int> deleted;
    std::optional<Message> stopped;
    for (int i = 1; i <= store.NumberOfClients() && !stopped; ++i) {
        ClientRecord& record = store.entry(i);
        if (!store.damage(i).empty()) {
            damaged.push_back("client " + std::to_string(i));
            continue;
        }
        if (NameIsDeleted(record)) {
            continue;
        }
        DeleteName(record);
        session.Scoring.NameDeletedFlag = 1;
        try {
            store.SaveClient(i);
            deleted.push_back(i);
        } catch (const FileError& error) {
            store.RevertClient(i);
            stopped = Message{"The name of client " + std::to_string(i) +
                                  " could not be deleted: Error " + std::to_string(error.number()) +
                                  ":" + error.description() +
                                  "\r\n\r\nThe names of the clients before it are deleted; this "
                                  "client and those after it keep their names. Run Delete Names "
                                  "again once the data disk can be written.",
                              "Delete Names", MsgIcon::Critical, MsgButtons::OK};
        }
    }
    LogAccess(session, messages, AccessAction::DeleteNames, deleted,
              "The names are deleted all the same.");
    if (stopped) {
        messages.show(*stopped);
        return;
    }
    auto closing = deleteNamesInBackups(session, messages, std::move(damaged));
    // The last report made holds its client's name; it is made afresh whenever it is needed.
    try {
        session.Files.remove(session.reportFile());
    } catch (const FileError& error) {
        messages.show({"The report file may still hold a name and could not be removed: Error " +
                           std::to_string(error.number()) + ": " + error.what() +
                           ".\r\n\r\nRemove it by hand.",
                       "Delete Names", MsgIcon::Critical, MsgButtons::OK});
        return;
    }
    if (closing) {
        messages.show({*closing, "", MsgIcon::None, MsgButtons::OK});
    }
}

}  // namespace qlm
