#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

namespace qlm::sqlite {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Opens `path` with the given SQLITE_OPEN_* flags; on failure returns null and sets `error`.
Database Open(const std::string& path, int flags, std::string& error);
// Prepares one statement; on failure returns null and sets `error` to the engine's message.
Statement Prepare(sqlite3* db, const std::string& sql, std::string& error);
// A column's text as stored (UTF-8), or the empty text for NULL.
std::string ColumnText(sqlite3_stmt* statement, int column);
// An identifier quoted for SQL, so that any table name is taken literally.
std::string QuoteIdentifier(const std::string& name);

}  // namespace qlm::sqlite
