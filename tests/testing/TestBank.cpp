#include "TestBank.h"

#include <sqlite3.h>

#include <QtTest>

namespace qlm::test {

namespace {

void exec(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        qFatal("test bank: %s: %s", sql.c_str(), sqlite3_errmsg(db));
    }
}

std::string literal(const std::optional<std::string>& value) {
    char* quoted = sqlite3_mprintf("%Q", value ? value->c_str() : nullptr);
    const std::string sql = quoted;
    sqlite3_free(quoted);
    return sql;
}

}  // namespace

std::vector<BankRow> StandardRows(int count) {
    std::vector<BankRow> rows;
    for (int id = 1; id <= count; ++id) {
        const std::string n = std::to_string(id);
        BankRow row{n, "Statement " + n, "q" + n, {"True", "False"}, {"True", "False"}};
        for (int k = 0; id > 97 && k < 4; ++k) {
            row.Answer[k] = "Choice " + std::to_string(k + 1);
            row.ChoiceAudio[k] = "c" + n + "_" + std::to_string(k + 1);
        }
        rows.push_back(row);
    }
    return rows;
}

void WriteBank(const std::string& path, const std::vector<BankTable>& tables) {
    const std::string columns =
        "ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, ANSWER2 TEXT, ANSWER3 "
        "TEXT, ANSWER4 TEXT, ANSWER5 TEXT, ChoiceAudio1 TEXT, ChoiceAudio2 TEXT, ChoiceAudio3 "
        "TEXT, ChoiceAudio4 TEXT, ChoiceAudio5 TEXT";
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        qFatal("test bank: cannot create %s", path.c_str());
    }
    exec(db, "BEGIN");
    for (const auto& [table, rows] : tables) {
        exec(db, "CREATE TABLE \"" + table + "\" (" + columns + ")");
        for (const auto& row : rows) {
            std::string values = literal(row.ID) + ", " + literal(row.TestQuestion) + ", " +
                                 literal(row.QuestionAudio);
            for (const auto* field : {&row.Answer, &row.ChoiceAudio}) {
                for (const auto& value : *field) {
                    values += ", " + literal(value);
                }
            }
            exec(db, "INSERT INTO \"" + table + "\" VALUES (" + values + ")");
        }
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
}

std::string Wave(int coding, int bits) {
    const auto le = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i, value >>= 8) {
            out += static_cast<char>(value & 0xFF);
        }
        return out;
    };
    const std::uint32_t rate = 22050;
    const auto block = static_cast<std::uint32_t>(bits / 8);
    return "RIFF" + le(44, 4) + "WAVEfmt " + le(16, 4) + le(coding, 2) + le(1, 2) + le(rate, 4) +
           le(rate * block, 4) + le(block, 2) + le(bits, 2) + "data" + le(8, 4) +
           std::string(8, '\0');
}

}  // namespace qlm::test
