#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/ClientRecord.h"

namespace qlm {

class FileSystem;

inline constexpr const char* ClientFileBaseName = "DATA401.QLM";
// The on-screen test's journal, kept beside the client file while a test is taken.
inline constexpr const char* JournalBaseName = "QLMTEST.JNL";
// A client file holds at most this many records; entry 0 of a table is never a client.
inline constexpr int MaxClients = 51;
inline constexpr std::int64_t MaxClientFileBytes =
    static_cast<std::int64_t>(MaxClients) * ClientRecord::Size;
using ClientTable = std::array<ClientRecord, MaxClients + 1>;

// The client file of a data location: its records, as many as its length holds.
struct ClientFileContents {
    ClientTable table;
    std::int16_t count = 0;
    // Per record, what makes it damaged (RecordDamage); empty for a sound one.
    std::array<std::string, MaxClients + 1> damage{};
};

// Number of records a client file of `length` bytes holds: length / 185 rounded to the
// nearest whole number, halves to even (a short last record counts when it is at least half).
std::int16_t RecordCountForLength(std::int64_t length);

// The records of a client file's `bytes`; more records than the table holds are refused with
// a FileError naming `fileName` and its record count.
ClientFileContents ParseClientFile(std::string_view bytes, const std::string& fileName);

// The stored bytes of record r (1 on) of a client file's `bytes`: short for a cut last record,
// empty past the end.
std::string_view RecordBytesOf(std::string_view bytes, int r);

// The bytes of a client file. A missing one is created empty (owner-only), or with
// `createMissing` false read as a file of no clients and left missing. A file of more records
// than the table holds is refused by its size, before it is read, with a FileError naming it
// and its record count; so is anything but a plain file.
std::string ReadClientFileBytes(const FileSystem& files, const std::string& fileName,
                                bool createMissing = true);

}  // namespace qlm
