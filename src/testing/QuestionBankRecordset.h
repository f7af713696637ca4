#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlm {

// The rows of one question bank table in reading order, walked one row at a time. It can stand
// before the first row (bof) or after the last (eof), where the screens' stepping back and
// forth leads; reading a column or moving further there is an error (DataFileError).
class QuestionBankRecordset {
public:
    using Row = std::vector<std::optional<std::string>>;

    QuestionBankRecordset(std::string bankPath, std::string table, std::vector<std::string> columns,
                          std::vector<Row> rows);

    void next();
    void previous();
    void first();
    bool bof() const { return m_position < 0; }
    bool eof() const { return m_position >= static_cast<std::ptrdiff_t>(m_rows.size()); }

    const std::string& table() const { return m_table; }
    std::size_t rowCount() const { return m_rows.size(); }

    // The value of a column of the current row: nullopt for NULL, so that NULL and the empty
    // text stay apart. Column names are exact.
    const std::optional<std::string>& value(std::string_view column) const;
    // The text of a column; NULL reads as the empty text.
    std::string text(std::string_view column) const;
    // A whole-number column (the item number).
    int number(std::string_view column) const;

private:
    [[noreturn]] void fail(const std::string& problem) const;

    std::string m_bankPath;
    std::string m_table;
    std::vector<std::string> m_columns;
    std::vector<Row> m_rows;
    std::ptrdiff_t m_position = 0;
};

}  // namespace qlm
