#pragma once

#include <string>

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

// Checks that the data location still holds the session's clients, then writes table entry n.
// When either fails, a message says what was not saved, entry n goes back to `before` (memory
// keeps what the disk keeps), the disk keeps what it had, and false is returned.
bool SaveClientChecked(Session& session, Messages& messages, int n, const ClientRecord& before,
                       const SaveTexts& texts);

}  // namespace qlm
