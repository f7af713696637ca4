#pragma once

#include <string>

namespace qlm {

struct ClientRecord;

// The client list's entry for record n: the number, "-", and the 25-character name as stored.
std::string ClientListItem(int n, const ClientRecord& record);

// The record number an entry starts with: the whole number before its first "-" (0 when
// there is none).
int ClientOfListItem(const std::string& item);

}  // namespace qlm
