#include "testing/QuestionBank.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "scoring/TestSpec.h"
#include "storage/DataFileError.h"

namespace qlm {

namespace {

// The screens take turns with the bank, each closing it when done, so a second open is a fault.
// A process-wide flag rather than a file lock, so that qlm and tests running in parallel may
// still read the file.
std::atomic<bool> bankOpen{false};

// Releases the one-open slot unless the constructor completed.
class OpenSlot {
public:
    explicit OpenSlot(const std::string& path) {
        if (bankOpen.exchange(true)) {
            throw DataFileError(path, "the question bank is already open");
        }
    }
    ~OpenSlot() {
        if (!m_kept) {
            bankOpen = false;
        }
    }
    OpenSlot(const OpenSlot&) = delete;
    OpenSlot& operator=(const OpenSlot&) = delete;
    void keep() { m_kept = true; }

private:
    bool m_kept = false;
};

}  // namespace

bool IsLanguageTable(std::string_view name) {
    return name == "English" || name == "Spanish";
}

QuestionBank::QuestionBank(std::string path) : m_path(std::move(path)) {
    OpenSlot slot(m_path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_path, ec)) {
        throw DataFileError(m_path, "the question bank is missing");
    }
    std::string error;
    m_db = sqlite::Open(m_path, SQLITE_OPEN_READONLY, error);
    if (!m_db) {
        throw DataFileError(m_path, "the question bank cannot be opened: " + error);
    }
    // sqlite_master lists the tables in the order they were created: the store's own order.
    const auto list = sqlite::Prepare(
        m_db.get(), "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", error);
    if (!list) {
        throw DataFileError(m_path, "not a readable question bank: " + error);
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(list.get())) == SQLITE_ROW) {
        m_tables.push_back(sqlite::ColumnText(list.get(), 0));
    }
    if (rc != SQLITE_DONE) {
        throw DataFileError(
            m_path, "not a readable question bank: " + std::string(sqlite3_errmsg(m_db.get())));
    }
    slot.keep();
}

QuestionBank::~QuestionBank() {
    bankOpen = false;
}

std::vector<std::string> QuestionBank::languages() const {
    std::vector<std::string> found;
    std::ranges::copy_if(m_tables, std::back_inserter(found),
                         [](const std::string& name) { return IsLanguageTable(name); });
    return found;
}

QuestionBankRecordset QuestionBank::openTable(const std::string& table) const {
    const auto problem = [&](const std::string& what) {
        return DataFileError(m_path, "table \"" + table + "\" " + what);
    };
    // The store matches table names without regard to case; the bank's names are exact.
    if (std::ranges::find(m_tables, table) == m_tables.end()) {
        throw DataFileError(m_path, "has no table \"" + table + "\"");
    }
    std::string error;
    // No ordering clause: the rows come in the order they were stored, which is item order.
    const auto select =
        sqlite::Prepare(m_db.get(), "SELECT * FROM " + sqlite::QuoteIdentifier(table), error);
    if (!select) {
        throw problem("cannot be read: " + error);
    }
    std::vector<std::string> columns;
    columns.reserve(static_cast<std::size_t>(sqlite3_column_count(select.get())));
    for (int c = 0; c < sqlite3_column_count(select.get()); ++c) {
        columns.emplace_back(sqlite3_column_name(select.get(), c));
    }
    std::vector<QuestionBankRecordset::Row> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
        auto& row = rows.emplace_back();
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            row.push_back(sqlite3_column_type(select.get(), c) == SQLITE_NULL
                              ? std::nullopt
                              : std::optional(sqlite::ColumnText(select.get(), c)));
        }
    }
    if (rc != SQLITE_DONE) {
        throw problem("cannot be read: " + std::string(sqlite3_errmsg(m_db.get())));
    }

    return LanguageTableRecords(m_path, table, std::move(columns), std::move(rows));
}

QuestionBankRecordset LanguageTableRecords(const std::string& bankPath, const std::string& table,
                                           std::vector<std::string> columns,
                                           std::vector<QuestionBankRecordset::Row> rows) {
    const auto problem = [&](const std::string& what) {
        return DataFileError(bankPath, "table \"" + table + "\" " + what);
    };
    for (const char* column : QuestionBankColumns) {
        if (std::ranges::find(columns, column) == columns.end()) {
            throw problem("has no column \"" + std::string(column) + "\"");
        }
    }
    // The screens move row by row and take the item number from the row they land on, so a
    // short table or one out of order would break the test halfway; refuse it here instead.
    QuestionBankRecordset records(bankPath, table, std::move(columns), std::move(rows));
    if (records.rowCount() < TestSpec::ItemCount) {
        throw problem("holds " + std::to_string(records.rowCount()) + " rows; items 1 to " +
                      std::to_string(TestSpec::ItemCount) + " are needed");
    }
    if (records.rowCount() > TestSpec::ItemCount) {
        throw problem("holds " + std::to_string(records.rowCount()) + " rows; only items 1 to " +
                      std::to_string(TestSpec::ItemCount) + " belong in it");
    }
    for (int item = 1; item <= TestSpec::ItemCount; ++item, records.next()) {
        const int id = records.number("ID");
        if (id != item) {
            throw problem("holds item " + std::to_string(id) + " in row " + std::to_string(item) +
                          "; items must run 1 to " + std::to_string(TestSpec::ItemCount) +
                          " in order");
        }
    }
    records.first();
    return records;
}

}  // namespace qlm
