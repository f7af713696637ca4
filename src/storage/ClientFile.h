#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "storage/ClientRecord.h"

namespace qlm {

class FileSystem;
struct Session;

inline constexpr const char* ClientFileBaseName = "DATA401.QLM";

// The client file of a data location: its records, as many as its length holds.
struct ClientFileContents {
    std::array<ClientRecord, 52> table;
    std::int16_t count = 0;
};

// Number of records a client file of `length` bytes holds: length / 185 rounded to the
// nearest whole number, halves to even (a short last record counts when it is at least half).
std::int16_t RecordCountForLength(std::int64_t length);

// Reads a client file, creating it empty (owner-only) when it is missing. A file of more
// records than the table holds is refused with a FileError naming it and its record count.
ClientFileContents ReadClientFile(const FileSystem& files, const std::string& fileName);

// Makes `contents` the session's client table, count and current client (1, or 0 for none).
void AdoptClientFile(Session& session, ClientFileContents contents);
// Loads the session's client file into its table and sets NumberOfClients and CurrentClient.
void LoadClients(Session& session);
// Writes table entry n as record n, whole, and flushes it to the disk before returning.
void SaveClient(Session& session, int n);
// Blanks the current client's entry of the table; the file is not touched.
void ClearClient(Session& session);

}  // namespace qlm
