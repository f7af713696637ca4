#pragma once

#include <string>
#include <vector>

namespace qlm {

struct ClientRecord;
struct Session;

// The client list's entry for record n: the number, "-", and the 25-character name as stored.
std::string ClientListItem(int n, const ClientRecord& record);
// The entry of record n, followed by what is wrong with it when it is damaged.
std::string MarkedClientListItem(int n, const ClientRecord& record, const std::string& damage);
std::string MarkedClientListItem(const Session& session, int n);

// The main window's line on the data location in use: its folder (with "read only" beside it
// where it is opened for reading only) and its count of clients of the most it holds, as
// UTF-8 text, which the folder's name is too.
std::string LocationSummary(const std::string& path, int clients, bool readOnly);

// What reports of several clients left out for their damaged records: "Not printed (damaged
// record): clients 3, 7."
std::string SkippedReports(const std::vector<int>& clients, const std::string& verb = "printed");

// The record number an entry starts with: the whole number before its first "-" (0 when
// there is none).
int ClientOfListItem(const std::string& item);

}  // namespace qlm
