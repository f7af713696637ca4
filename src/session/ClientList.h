#pragma once

#include <string>

namespace qlm {

struct ClientRecord;
struct Session;

// The client list's entry for record n: the number, "-", and the 25-character name as stored.
std::string ClientListItem(int n, const ClientRecord& record);
// The entry of record n, followed by what is wrong with it when it is damaged.
std::string MarkedClientListItem(int n, const ClientRecord& record, const std::string& damage);
std::string MarkedClientListItem(const Session& session, int n);

// The record number an entry starts with: the whole number before its first "-" (0 when
// there is none).
int ClientOfListItem(const std::string& item);

}  // namespace qlm
