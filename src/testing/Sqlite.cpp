#include "testing/Sqlite.h"

namespace qlm::sqlite {

Database Open(const std::string& path, int flags, std::string& error) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Database db(raw);  // sqlite3 hands out a handle even on failure; it must still be closed
    if (rc != SQLITE_OK) {
        error = raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        return nullptr;
    }
    return db;
}

Statement Prepare(sqlite3* db, const std::string& sql, std::string& error) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) !=
        SQLITE_OK) {
        error = sqlite3_errmsg(db);
        sqlite3_finalize(raw);
        return nullptr;
    }
    return Statement(raw);
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

std::string QuoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

}  // namespace qlm::sqlite
