#include "testing/QuestionBankRecordset.h"

#include <algorithm>
#include <charconv>

#include "storage/DataFileError.h"

namespace qlm {

QuestionBankRecordset::QuestionBankRecordset(std::string bankPath, std::string table,
                                             std::vector<std::string> columns,
                                             std::vector<Row> rows)
    : m_bankPath(std::move(bankPath)),
      m_table(std::move(table)),
      m_columns(std::move(columns)),
      m_rows(std::move(rows)) {}

void QuestionBankRecordset::fail(const std::string& problem) const {
    throw DataFileError(m_bankPath, "table \"" + m_table + "\": " + problem);
}

void QuestionBankRecordset::next() {
    if (eof()) {
        fail("cannot move past the last row");
    }
    ++m_position;
}

void QuestionBankRecordset::previous() {
    if (bof()) {
        fail("cannot move before the first row");
    }
    --m_position;
}

void QuestionBankRecordset::first() {
    if (m_rows.empty()) {
        fail("has no rows");
    }
    m_position = 0;
}

const std::optional<std::string>& QuestionBankRecordset::value(std::string_view column) const {
    if (bof() || eof()) {
        fail("no current row");
    }
    const auto it = std::find(m_columns.begin(), m_columns.end(), column);
    if (it == m_columns.end()) {
        fail("has no column \"" + std::string(column) + "\"");
    }
    return m_rows[static_cast<std::size_t>(m_position)]
                 [static_cast<std::size_t>(it - m_columns.begin())];
}

std::string QuestionBankRecordset::text(std::string_view column) const {
    return value(column).value_or(std::string());
}

int QuestionBankRecordset::number(std::string_view column) const {
    const std::string digits = text(column);
    int result = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), result);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size()) {
        fail("column \"" + std::string(column) + "\" holds \"" + digits +
             "\" where a whole number belongs");
    }
    return result;
}

}  // namespace qlm
