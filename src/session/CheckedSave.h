#pragma once

#include <optional>
#include <string>

#include "storage/AccessLog.h"
#include "ui/Messages.h"

namespace qlm {

struct ClientRecord;
struct Session;

// How a screen's failed save names what was lost and how to try again.
struct SaveTexts {
    // "The client's information", "The client's answers".
    std::string subject;
    // The screen's own way to retry or to give up.
    std::string retryAdvice;
};

// A new client refused because the client file holds as many clients as it can.
Message ClientTableFullMessage();
// A damaged record n refused by a screen that would change it ("edited", "verified").
Message DamagedRecordMessage(int n, const std::string& damage, const std::string& refused);

// Checks that the data location still holds the session's clients, then writes entry n, or
// commits it when it is the new client (which then becomes current under its record number).
// When either fails, a message says what was not saved, entry n goes back to `before` (memory
// keeps what the disk keeps; when another program changed the record meanwhile, its changes
// are taken in under what `before` changed), the disk keeps what it had, and false is returned.
// A save is recorded in the access log as `action` (a new client as such); a log that cannot
// be written is said, the save standing.
bool SaveClientChecked(Session& session, Messages& messages, int n, const ClientRecord& before,
                       const SaveTexts& texts, AccessAction action = AccessAction::Edit);

// Both entry ways end here: the current client's answers become `answers` and the client is
// saved as by SaveClientChecked (a new client is counted then); false when it was not.
bool SaveAnswers(Session& session, Messages& messages, const std::string& answers,
                 const std::string& retryAdvice);

// Why the main menu's edit or new-client choice cannot run now, or nothing when it can.
std::optional<Message> EditRefusal(const Session& session);
std::optional<Message> NewClientRefusal(const Session& session);

}  // namespace qlm
