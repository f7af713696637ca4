// makebank: build-time tool. It turns the item wording of data/items/*.tsv into the question
// bank, and lists what the spoken prompts of a language say, for scripts/render-sounds.
//
//   makebank build BANK.db LANGUAGE.tsv...     one table per file, named after the file
//   makebank sounds BANK.db LANGUAGE DIR       DIR/<wave file>.txt: the text each file speaks

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "scoring/TestSpec.h"
#include "storage/ClientRecord.h"
#include "testing/BankItem.h"
#include "testing/BankSource.h"
#include "testing/QuestionBank.h"
#include "testing/SoundFiles.h"
#include "testing/Sqlite.h"
#include "testing/TestTexts.h"

namespace {

namespace fs = std::filesystem;
using qlm::QuestionBankColumns;
using Row = qlm::BankSourceRow;

[[noreturn]] void fail(const std::string& message) {
    throw std::runtime_error(message);
}

// The items of one source file, checked so that the bank the program reads is whole.
std::vector<Row> readItems(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        fail(file.string() + ": cannot be read");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return qlm::ParseBankSource(text.str(), file.string());
}

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : "unknown error";
        sqlite3_free(error);
        fail(message);
    }
}

void addTable(sqlite3* db, const std::string& table, const std::vector<Row>& items) {
    std::string columns;
    std::string parameters;
    for (const char* column : QuestionBankColumns) {
        columns += std::string(columns.empty() ? "" : ", ") + column +
                   (std::string_view(column) == "ID" ? " INTEGER" : " TEXT");
        parameters += parameters.empty() ? "?" : ", ?";
    }
    const std::string quoted = qlm::sqlite::QuoteIdentifier(table);
    // A plain rowid table: each insert takes the next rowid and a SELECT without ORDER BY scans
    // in rowid order, so the program reads the items back in the order they are inserted here.
    exec(db, "CREATE TABLE " + quoted + " (" + columns + ")");
    std::string error;
    const auto insert =
        qlm::sqlite::Prepare(db, "INSERT INTO " + quoted + " VALUES (" + parameters + ")", error);
    if (!insert) {
        fail(error);
    }
    for (const auto& row : items) {
        sqlite3_reset(insert.get());
        sqlite3_bind_int(insert.get(), 1, std::stoi(*row[0]));
        for (int c = 1; c < static_cast<int>(row.size()); ++c) {
            const auto& value = row[static_cast<std::size_t>(c)];
            if (value) {
                sqlite3_bind_text(insert.get(), c + 1, value->c_str(),
                                  static_cast<int>(value->size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(insert.get(), c + 1);
            }
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            fail(sqlite3_errmsg(db));
        }
    }
}

// Writes the bank under a temporary name and renames it, so that a failed run never leaves a
// half-written bank that the build would take as up to date.
int build(const fs::path& bank, const std::vector<fs::path>& sources) {
    std::vector<std::pair<std::string, std::vector<Row>>> tables;
    tables.reserve(sources.size());
    for (const auto& source : sources) {
        tables.emplace_back(source.stem().string(), readItems(source));
    }
    const fs::path partial = bank.string() + ".partial";
    fs::remove(partial);
    {
        std::string error;
        const auto db =
            qlm::sqlite::Open(partial.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
        if (!db) {
            fail(partial.string() + ": " + error);
        }
        exec(db.get(), "BEGIN");
        for (const auto& [table, items] : tables) {
            addTable(db.get(), table, items);
        }
        exec(db.get(), "COMMIT");
    }
    fs::rename(partial, bank);
    return 0;
}

// Text as espeak-ng should say it: a line break after a heading becomes a pause, and a full
// stop directly followed by a word gets its blank (else it is read out as "dot").
std::string spoken(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (!out.empty() && std::isalnum(static_cast<unsigned char>(out.back()))) {
                out += '.';
            }
            out += ' ';
        } else {
            out += c;
            if (c == '.' && i + 1 < text.size() &&
                std::isalpha(static_cast<unsigned char>(text[i + 1]))) {
                out += ' ';
            }
        }
    }
    return out;
}

// What the short-name files say in each language's folder.
const std::map<std::string, std::map<std::string, std::string>> ShortSoundWords{
    {"English",
     {{"True.wav", "True"}, {"False.wav", "False"}, {"Yes.wav", "Yes"}, {"No.wav", "No"}}},
    {"Spanish",
     {{"True.wav", "Verdadero"}, {"False.wav", "Falso"}, {"Yes.wav", "Sí"}, {"No.wav", "No"}}},
};

// Writes a file only when its text changed, so that the renderer redoes only changed sounds.
void writeIfChanged(const fs::path& file, const std::string& text) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream old;
    old << in.rdbuf();
    if (in && old.str() == text) {
        return;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        fail(file.string() + ": cannot be written");
    }
}

int sounds(const fs::path& bankPath, const std::string& language, const fs::path& dir) {
    const auto words = ShortSoundWords.find(language);
    if (words == ShortSoundWords.end()) {
        fail("no short-name words for the language \"" + language + "\"");
    }
    std::map<std::string, std::string> texts;
    const auto add = [&](const std::string& file, const std::string& text) {
        const auto [it, added] = texts.emplace(file, spoken(text));
        if (!added && it->second != spoken(text)) {
            fail(language + ": " + file + " would say both \"" + it->second + "\" and \"" +
                 spoken(text) + "\"");
        }
    };
    const auto instructions = qlm::SetInstructionText(language);
    for (std::size_t i = 0; i < qlm::InstructionAudioFile.size(); ++i) {
        add(qlm::InstructionAudioFile[i], instructions[i]);
    }
    for (const auto& [file, word] : words->second) {
        add(file, word);
    }
    qlm::QuestionBank bank(bankPath.string());
    auto records = bank.openTable(language);
    for (; !records.eof(); records.next()) {
        const auto item = qlm::ReadBankItem(records);
        add(item.QuestionAudioFile, qlm::QuestionText(item));
        for (int k = 1; k <= qlm::BankItem::MaxChoices; ++k) {
            if (item.offered(k)) {
                add(item.ChoiceAudioFile[static_cast<std::size_t>(k)],
                    *item.Answer[static_cast<std::size_t>(k)]);
            }
        }
    }
    fs::create_directories(dir);
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".txt") && !texts.contains(name.substr(0, name.size() - 4))) {
            fs::remove(entry.path());
        }
    }
    for (const auto& [file, text] : texts) {
        writeIfChanged(dir / (file + ".txt"), text + "\n");
    }
    return 0;
}

int usage() {
    std::cerr << "usage: makebank build BANK.db LANGUAGE.tsv...\n"
                 "       makebank sounds BANK.db LANGUAGE DIR\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 3 && args[0] == "build") {
            return build(args[1], std::vector<fs::path>(args.begin() + 2, args.end()));
        }
        if (args.size() == 4 && args[0] == "sounds") {
            return sounds(args[1], args[2], args[3]);
        }
        return usage();
    } catch (const std::exception& e) {
        std::cerr << "makebank: " << e.what() << '\n';
        return 1;
    }
}
