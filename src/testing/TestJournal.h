#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "scoring/TestSpec.h"
#include "storage/ClientFile.h"
#include "storage/ClientRecord.h"

namespace qlm {

class FileSystem;

// A copy of an on-screen test in progress, kept beside the client file so that a crash, a
// power cut or a closed window does not lose the juvenile's answers. The client file itself is
// written only when the test ends.
struct TestJournal {
    int record = 0;  // the record the new client will take
    std::string language;
    ClientRecord client;  // as the client information and court history screens left it
    int reached = 1;      // the item on screen
    std::array<int, TestSpec::ItemCount + 1> responses{};
};

// A journal holds a few hundred bytes; anything much larger is not one.
inline constexpr std::int64_t MaxJournalBytes = std::int64_t{16} * 1024;

std::string JournalFileName(const std::string& dataPath);

// The journal's last line: the check of the lines before it.
std::string JournalChecksum(std::string_view body);
std::string FormatJournal(const TestJournal& journal);
// The journal `text` holds, or nothing with `problem` saying why it is not one of ours or is
// damaged.
std::optional<TestJournal> ParseJournal(std::string_view text, std::string& problem);

// The journal at `path`, when it can be read and belongs to a client file of `clients`
// clients; otherwise nothing, with `problem` saying why.
std::optional<TestJournal> ReadJournal(const FileSystem& files, const std::string& path,
                                       int clients, std::string& problem);
// Moves a journal that cannot be used out of the way, so that it is not offered again but kept
// for whoever wants to look at it; the name it now has, or nothing when it could not be moved.
std::optional<std::string> SetJournalAside(const FileSystem& files, const std::string& path);

}  // namespace qlm
