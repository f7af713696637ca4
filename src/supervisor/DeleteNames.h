#pragma once

#include <string>

namespace qlm {

class Messages;
struct ClientRecord;
struct Session;

// Makes a name unreadable in place: every character but the blank moves 3 codes up when its
// code is odd and 7 when it is even, so that length and word shape stay. A result past the
// printable single-byte characters wraps round within them: never a control character, a
// blank or a code the Latin-1 text has no character for.
void ScrambleName(std::string& name);

// Whether the record's name was deleted already (its mark reads as a number other than 0).
bool NameIsDeleted(const ClientRecord& record);

// After a confirmation, scrambles the name of every client whose name is not deleted yet,
// marks it deleted and saves its record. Stops at a record that cannot be written, saying so,
// with that record as the file still holds it.
void DelNames(Session& session, Messages& messages);

}  // namespace qlm
