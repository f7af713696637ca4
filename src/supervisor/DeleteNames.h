#pragma once

#include <string>

namespace qlm {

class Messages;
struct ClientRecord;
struct Session;

// Makes a name unreadable for good, in place: every character but the blank becomes another
// one drawn from a cryptographically secure source among the printable single-byte characters
// (never a blank or a control), so that length and word shape stay and nothing, not even other
// names known with their scrambled forms, turns it back.
void ScrambleName(std::string& name);

// Whether the record's name was deleted already (its mark reads as a number other than 0).
bool NameIsDeleted(const ClientRecord& record);

// After a confirmation (No is the default), scrambles the name of every client whose name is
// not deleted yet, marks it deleted and saves its record; then the backups the same way, and
// the report file, which may hold a name, is removed. The run is recorded in the access log.
// Stops at a record that cannot be written, saying so, with that record as the file still
// holds it.
void DelNames(Session& session, Messages& messages);

}  // namespace qlm
