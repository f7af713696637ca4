#include "TestBank.h"

#include <sqlite3.h>

#include <QtTest>
#include <algorithm>

namespace qlm::test {

namespace {

void exec(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        qFatal("test bank: %s: %s", sql.c_str(), sqlite3_errmsg(db));
    }
}

std::string literal(const std::optional<std::string>& value) {
    if (!value) {
        return "NULL";
    }
    std::string quoted = "'";
    for (const char c : *value) {
        quoted += c == '\'' ? "''" : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

std::vector<BankRow> StandardRows(int count) {
    std::vector<BankRow> rows;
    for (int id = 1; id <= count; ++id) {
        const std::string n = std::to_string(id);
        BankRow row{n, "Statement " + n, "q" + n, {}, {}};
        if (id <= 97) {
            row.Answer = {"True", "False", std::nullopt, std::nullopt, std::nullopt};
            row.ChoiceAudio = {"True", "False", std::nullopt, std::nullopt, std::nullopt};
        } else {
            for (int k = 0; k < 4; ++k) {
                row.Answer[k] = "Choice " + std::to_string(k + 1);
                row.ChoiceAudio[k] = "c" + n + "_" + std::to_string(k + 1);
            }
        }
        rows.push_back(row);
    }
    return rows;
}

void WriteBank(const std::string& path, const std::vector<BankTable>& tables,
               const std::vector<std::string>& without) {
    std::vector<std::string> names{"ID", "TestQuestion", "QuestionAudio"};
    for (const char* prefix : {"ANSWER", "ChoiceAudio"}) {
        for (int k = 1; k <= 5; ++k) {
            names.push_back(prefix + std::to_string(k));
        }
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        qFatal("test bank: cannot create %s", path.c_str());
    }
    exec(db, "BEGIN");
    for (const auto& [table, rows] : tables) {
        std::string columns;
        std::vector<std::size_t> kept;
        for (std::size_t c = 0; c < names.size(); ++c) {
            if (std::ranges::find(without, names[c]) == without.end()) {
                columns +=
                    (columns.empty() ? "" : ", ") + names[c] + (c == 0 ? " INTEGER" : " TEXT");
                kept.push_back(c);
            }
        }
        exec(db, "CREATE TABLE \"" + table + "\" (" + columns + ")");
        for (const auto& row : rows) {
            std::vector<std::optional<std::string>> all{row.ID, row.TestQuestion,
                                                        row.QuestionAudio};
            all.insert(all.end(), row.Answer.begin(), row.Answer.end());
            all.insert(all.end(), row.ChoiceAudio.begin(), row.ChoiceAudio.end());
            std::string values;
            for (const std::size_t c : kept) {
                values += (values.empty() ? "" : ", ") + literal(all[c]);
            }
            exec(db, "INSERT INTO \"" + table + "\" VALUES (" + values + ")");
        }
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
}

}  // namespace qlm::test
