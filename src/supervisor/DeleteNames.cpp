#include "supervisor/DeleteNames.h"

#include "scoring/NumericValue.h"
#include "session/DataLocation.h"
#include "session/DriveSelect.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/FileError.h"
#include "ui/Messages.h"

namespace qlm {

namespace {

// The printable single-byte characters without the blanks: 0x21 to 0x7E and 0xA1 to 0xFF.
constexpr int FirstPrintable = 0x21;
constexpr int LastAscii = 0x7E;
constexpr int FirstUpper = 0xA1;

int printable(int code) {
    if (code > LastAscii && code < FirstUpper) {
        code += FirstUpper - (LastAscii + 1);
    }
    if (code > 0xFF) {
        code = FirstPrintable + (code - 0x100);
    }
    if (code < FirstPrintable) {
        code += FirstPrintable;
    }
    return code;
}

Message warningMessage() {
    return {
        "You are about to delete the Client Name from\r\nall tests on this diskette.\r\nThe "
        "ID number will be deleted as well.\r\n\r\nAre you SURE you want to do this?",
        "WARNING!", MsgIcon::Critical, MsgButtons::YesNo};
}

}  // namespace

void ScrambleName(std::string& name) {
    for (char& c : name) {
        const int code = static_cast<unsigned char>(c);
        if (code != ' ') {
            c = static_cast<char>(printable(code + (code % 2 == 1 ? 3 : 7)));
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
    for (int i = 1; i <= session.NumberOfClients; ++i) {
        ClientRecord& record = session.ClientTable[static_cast<std::size_t>(i)];
        if (NameIsDeleted(record)) {
            continue;
        }
        const ClientRecord before = record;
        std::string name = record.Name;
        ScrambleName(name);
        record.set(&ClientRecord::Name, name);
        record.set(&ClientRecord::NameDeleted, "1");
        session.Scoring.NameDeletedFlag = 1;
        try {
            SaveClient(session, i);
        } catch (const FileError& error) {
            record = before;
            messages.show({"The name of client " + std::to_string(i) +
                               " could not be deleted: Error " + std::to_string(error.number()) +
                               ":" + error.description() +
                               "\r\n\r\nThe names of the clients before it are deleted; this "
                               "client and those after it keep their names. Run Delete Names "
                               "again once the data disk can be written.",
                           "Delete Names", MsgIcon::Critical, MsgButtons::OK});
            return;
        }
    }
    messages.show(
        {"Process complete. Press Enter to continue.", "", MsgIcon::None, MsgButtons::OK});
}

}  // namespace qlm
