#include "session/CheckedSave.h"

#include "session/DataLocation.h"
#include "session/DriveSelect.h"
#include "session/LogAccess.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/FileError.h"

namespace qlm {

namespace {

// The data disk's messages separate their paragraphs with two carriage returns.
constexpr const char* Paragraph = "\r\r";

Message locationLostMessage(const SaveTexts& texts) {
    return {std::string("Original data disk still not found!") + Paragraph + texts.subject +
                " could not be saved. Put the data location used when the program was started "
                "back (plug its USB stick in again, or reconnect its network share)." +
                Paragraph + texts.retryAdvice,
            "Data Disk Not Found", MsgIcon::Critical, MsgButtons::OK};
}

Message saveFailedMessage(const SaveTexts& texts, const FileError& error) {
    return {texts.subject + " could not be saved." + Paragraph + "Error " +
                std::to_string(error.number()) + ": " + error.description() + Paragraph +
                "The client file on the data disk is as it was before. " + texts.retryAdvice,
            "Data Disk Error", MsgIcon::Critical, MsgButtons::OK};
}

Message changedElsewhereMessage(const SaveTexts& texts, int n) {
    return {texts.subject + " could not be saved: client " + std::to_string(n) +
                " was changed by another program since this one read it." + Paragraph +
                "Nothing was overwritten. What was typed here is kept, laid over the other "
                "program's changes: save again to store it, or cancel to keep the client as the "
                "other program left it.",
            "Client Changed", MsgIcon::Exclamation, MsgButtons::OK};
}

}  // namespace

Message ClientTableFullMessage() {
    return {"The data disk already holds " + std::to_string(Session::MaxClients) +
                " clients, as many as it can hold. Use another data disk for a new client.",
            "Data Disk Full", MsgIcon::Critical, MsgButtons::OK};
}

Message DamagedRecordMessage(int n, const std::string& damage, const std::string& refused) {
    return {"Record " + std::to_string(n) + " of the client file is damaged: " + damage +
                ".\r\n\r\nIt cannot be " + refused + "; the client file is left as it is.",
            "Damaged Record", MsgIcon::Critical, MsgButtons::OK};
}

std::optional<Message> EditRefusal(const Session& session) {
    // A damaged record is not edited: its bytes stay as they are for whoever can mend them.
    const int n = session.CurrentClient;
    if (const std::string& damage = session.Clients.damage(n); !damage.empty()) {
        return DamagedRecordMessage(n, damage, "edited");
    }
    return std::nullopt;
}

std::optional<Message> NewClientRefusal(const Session& session) {
    // The 52nd client is refused before a single screen is filled in.
    if (session.Clients.NumberOfClients() >= Session::MaxClients) {
        return ClientTableFullMessage();
    }
    return std::nullopt;
}

bool SaveAnswers(Session& session, Messages& messages, const std::string& answers,
                 const std::string& retryAdvice) {
    if (session.CurrentClient == 0) {
        session.CurrentClient = 1;
    }
    const int n = session.CurrentClient;
    ClientRecord& client = session.Clients.entry(n);
    const ClientRecord before = client;
    client.set(&ClientRecord::Answers, answers);
    return SaveClientChecked(session, messages, n, before, {"The client's answers", retryAdvice});
}

bool SaveClientChecked(Session& session, Messages& messages, int n, const ClientRecord& before,
                       const SaveTexts& texts, AccessAction action) {
    ClientStore& store = session.Clients;
    const ClientRecord loaded = store.stored(n);
    // Memory keeps what the disk keeps: `before`, over whatever the file now holds instead.
    const auto putBack = [&] { store.entry(n) = OverlayChanges(before, loaded, store.stored(n)); };
    const bool located = CheckDataLocation(
        session, [&] { messages.show(DataDiskChangedMessage()); },
        [&] { messages.show(locationLostMessage(texts)); });
    if (!located) {
        putBack();
        return false;
    }
    int saved = n;
    try {
        if (store.isNewClient(n)) {
            action = AccessAction::NewClient;
            saved = store.CommitNewClient();
            session.CurrentClient = saved;
        } else {
            store.SaveClient(n);
        }
    } catch (const FileError& error) {
        putBack();
        messages.show(error.number() == FileError::ChangedElsewhere
                          ? changedElsewhereMessage(texts, n)
                          : saveFailedMessage(texts, error));
        return false;
    }
    LogAccess(session, messages, action, {saved},
              "The save is done; only its line in the access log is missing.");
    return true;
}

}  // namespace qlm
