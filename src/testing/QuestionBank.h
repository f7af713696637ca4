#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "testing/QuestionBankRecordset.h"
#include "testing/Sqlite.h"

namespace qlm {

// The question bank beside the program: one table per presentation language.

// The columns of a language table, in their stored order.
inline constexpr std::array<const char*, 13> QuestionBankColumns{
    "ID",           "TestQuestion", "QuestionAudio", "ANSWER1",      "ANSWER2",
    "ANSWER3",      "ANSWER4",      "ANSWER5",       "ChoiceAudio1", "ChoiceAudio2",
    "ChoiceAudio3", "ChoiceAudio4", "ChoiceAudio5"};

// Only these two names, spelt exactly so, are languages; other tables are ignored.
bool IsLanguageTable(std::string_view name);

// The question bank, opened read-only. Only one may be open at a time in the program, as the
// screens share one open bank; a second open while one is open is refused. All failures throw
// DataFileError naming the file and what is missing.
class QuestionBank {
public:
    explicit QuestionBank(std::string path);
    ~QuestionBank();
    QuestionBank(const QuestionBank&) = delete;
    QuestionBank& operator=(const QuestionBank&) = delete;

    const std::string& path() const { return m_path; }

    // Every table, in the order the store lists them (the order they were created in).
    const std::vector<std::string>& tables() const { return m_tables; }
    // The language tables among them, in the same order.
    std::vector<std::string> languages() const;

    // All rows of a language table in reading order, standing on the first row. The table
    // must exist under exactly this name, have every column of a language table and hold the
    // items 1 to 109 in order.
    QuestionBankRecordset openTable(const std::string& table) const;

private:
    std::string m_path;
    sqlite::Database m_db;
    std::vector<std::string> m_tables;
};

// The rows read from a language table, checked as openTable says; the record set stands on the
// first row. Failures throw DataFileError naming the bank, the table and the fault.
QuestionBankRecordset LanguageTableRecords(const std::string& bankPath, const std::string& table,
                                           std::vector<std::string> columns,
                                           std::vector<QuestionBankRecordset::Row> rows);

}  // namespace qlm
