#include "testing/TestJournal.h"

#include <cstdint>
#include <sstream>

#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "testing/QuestionBank.h"

namespace qlm {

namespace {

constexpr std::string_view Heading = "Quillmere test journal 1";

std::string hex(std::string_view bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += Digits[b >> 4];
        out += Digits[b & 15];
    }
    return out;
}

std::optional<std::string> unhex(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto digit = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]);
        const int low = digit(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

bool wholeNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 3 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::stoi(text);
    return value >= low && value <= high;
}

}  // namespace

std::string JournalChecksum(std::string_view body) {
    // FNV-1a: enough to tell a torn or edited journal from a whole one.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : body) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return std::to_string(hash);
}

std::string JournalFileName(const std::string& dataPath) {
    return dataPath + (!dataPath.empty() && dataPath.back() == '/' ? "" : "/") + JournalBaseName;
}

std::string FormatJournal(const TestJournal& journal) {
    std::string responses;
    for (int n = 1; n <= TestSpec::ItemCount; ++n) {
        responses += static_cast<char>('0' + journal.responses[static_cast<std::size_t>(n)]);
    }
    const std::string body = std::string(Heading) + "\n" + std::to_string(journal.record) + "\n" +
                             journal.language + "\n" + hex(journal.client.toBytes()) + "\n" +
                             std::to_string(journal.reached) + "\n" + responses + "\n";
    return body + JournalChecksum(body) + "\n";
}

std::optional<TestJournal> ParseJournal(std::string_view text, std::string& problem) {
    if (text.substr(0, Heading.size()) != Heading) {
        problem = "it is not a test journal of this program";
        return std::nullopt;
    }
    const std::size_t lastLine = text.rfind('\n', text.size() - 2);
    if (text.back() != '\n' || lastLine == std::string_view::npos ||
        JournalChecksum(text.substr(0, lastLine + 1)) !=
            text.substr(lastLine + 1, text.size() - lastLine - 2)) {
        problem = "it is damaged (its check does not match its content)";
        return std::nullopt;
    }
    std::istringstream lines{std::string(text.substr(0, lastLine + 1))};
    std::string heading, record, language, client, reached, responses;
    std::getline(lines, heading);
    std::getline(lines, record);
    std::getline(lines, language);
    std::getline(lines, client);
    std::getline(lines, reached);
    std::getline(lines, responses);
    TestJournal journal;
    const auto bytes = unhex(client);
    if (!wholeNumber(record, 1, 51, journal.record) ||
        !wholeNumber(reached, 1, TestSpec::ItemCount + 1, journal.reached) ||
        !IsLanguageTable(language) || !bytes || bytes->size() != ClientRecord::Size ||
        responses.size() != static_cast<std::size_t>(TestSpec::ItemCount) ||
        responses.find_first_not_of("012345") != std::string::npos) {
        problem = "it is damaged (a line does not hold what it should)";
        return std::nullopt;
    }
    journal.language = language;
    journal.client = ClientRecord::fromBytes(*bytes);
    for (int n = 1; n <= TestSpec::ItemCount; ++n) {
        journal.responses[static_cast<std::size_t>(n)] =
            responses[static_cast<std::size_t>(n - 1)] - '0';
    }
    return journal;
}

std::optional<TestJournal> ReadJournal(const FileSystem& files, const std::string& path,
                                       int clients, std::string& problem) {
    std::optional<TestJournal> journal;
    try {
        journal = ParseJournal(files.readFile(path, MaxJournalBytes), problem);
    } catch (const FileError& error) {
        problem = "it cannot be read (Error " + std::to_string(error.number()) + ":" +
                  error.description() + ")";
    }
    if (journal && journal->record != clients + 1) {
        problem = "it belongs to a client file of " + std::to_string(journal->record - 1) +
                  " clients, not to this one";
        journal.reset();
    }
    return journal;
}

std::optional<std::string> SetJournalAside(const FileSystem& files, const std::string& path) {
    const std::string aside = path + ".damaged";
    try {
        files.rename(path, aside);
    } catch (const FileError&) {
        return std::nullopt;
    }
    return aside;
}

}  // namespace qlm
