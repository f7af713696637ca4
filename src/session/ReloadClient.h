#pragma once

namespace qlm {

struct Session;

// Puts table entry n back as the client file holds it, its damage included, so that changes
// given up are gone from memory too. False, with the entry left as it is, when the file
// cannot be read or no longer holds the session's clients.
bool ReloadClient(Session& session, int n);

}  // namespace qlm
