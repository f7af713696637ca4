#include <QProcess>
#include <QtTest>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <sstream>

#include "TestBank.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "storage/DataFileError.h"
#include "storage/FileSystem.h"
#include "support/Rows.h"
#include "support/TestFolder.h"
#include "testing/BankItem.h"
#include "testing/Presentation.h"
#include "testing/QuestionBank.h"
#include "testing/SoundFiles.h"
#include "testing/TestJournal.h"
#include "testing/TestTexts.h"

using namespace qlm;
using namespace qlm::test;

namespace {
// clang-format off

using Names = std::vector<std::string>;
using Text = std::optional<std::string>;

std::string bankIn(const TestFolder& folder) { return folder.program() + "/" + QuestionBankFileName; }

// Digits answer, "<" steps back; shows "P" part end, "I" section 2, "E" end, "-" refused.
std::string play(Presentation& p, const std::string& script) {
    std::string shown;
    for (const char c : script) {
        if (c == '<') { shown += p.goBack() ? "" : "-"; continue; }
        const AfterChoice after = p.choose(c - '0');
        shown += after == AfterChoice::EndOfPart ? "P" : after == AfterChoice::EndOfTest ? "E" : "";
        const NextShown next = p.GetNextQuestion();
        shown += next == NextShown::SectionTwoInstructions ? "I" : next == NextShown::EndOfTest ? "E" : "";
    }
    return shown;
}

// Choices 3 to 5 of item 1, and the choices offered.
struct ChoiceRow { const char* name; Text answer3, answer4, answer5; std::vector<int> choices; };
const ChoiceRow ChoiceRows[] = {
    {"null, empty, set", {}, "", "Five", {1, 2, 5}},
    {"five choices", "3", "4", "5", {1, 2, 3, 4, 5}},
    {"a blank is a text", " ", {}, {}, {1, 2, 3}},
};

// The bank's tables ("108": items 1-108; "swapped": 2 and 3; none: no file), its languages.
struct OpenRow { const char* name; Names tables, languages; const char* message; };
const OpenRow OpenRows[] = {
    {"case matters", {"ENGLISH", "Spanish"}, {"Spanish"}, ""},
    {"no file", {}, {}, "QLMtest.db: the question bank is missing"},
    {"garbage", {}, {}, "not a readable question bank"},
    {"english only", {"English"}, {"English"}, "has no table \"Spanish\""},
    {"108 rows", {"Spanish 108"}, {"Spanish"}, "table \"Spanish\" holds 108 rows; items 1 to 109"},
    {"swapped", {"Spanish swapped"}, {"Spanish"}, "holds item 3 in row 2"},
};

// A skipped item keeps its choice, one never reached stores "0"; ends are shown again.
struct WalkRow { const char* name; std::string script, shown; int item; std::string answers; };
const WalkRow WalkRows[] = {
    {"stepping back", "<1111<<<0<<<", "--", 1, "212200" + std::string(103, '0')},
    {"back across the sections and the end", std::string(97, '0') + "<1" + std::string(12, '3') + "<0", "PIPIEEEE", 109, std::string(96, '1') + "2" + std::string(11, '4') + "1"},
};

// Short names stand for their files; any other name is kept as it is, trimmed.
struct SoundRow { const char* name; std::string language, sound, file; };
const SoundRow SoundRows[] = {
    {"lower f", "English", "f", "/s/QLMTest/sound/English/False.wav"},
    {"y with blanks", "Spanish", "  y ", "/s/QLMTest/sound/Spanish/Yes.wav"},
    {"other letter", "English", "X ", "/s/QLMTest/sound/English/X"},
    {"short name from the bank", "English", SoundFileName(" T "), "/s/QLMTest/sound/English/T.wav"},
};

// A file that opens but holds no wave the player decodes is an error.
const std::string Invalid = "321:Invalid file format";
struct WaveRow { const char* name; std::string bytes, problem; };
const WaveRow WaveRows[] = {
    {"float", Wave(3, 32), ""},
    {"a list chunk first", Wave().substr(0, 12) + "LIST" + std::string("\3\0\0\0abc\0", 8) + Wave().substr(12), ""},
    {"header only", "RIFF", Invalid},
    {"MP3 in a wave", Wave(0x55), Invalid},
    {"24-bit", Wave(1, 24), Invalid},
    {"no samples", Wave().substr(0, 44), Invalid},
    {"unreadable", "fails", "70:Permission denied"},
};

std::string runBank(const std::string& home, std::vector<std::string> argv) {
    const FileSystem files;
    Session session(files, home);
    std::ostringstream out;
    cli::RunBank(session, cli::CliArgs::parse(argv), out);
    return out.str();
}

TestJournal sample(const char* language = "Spanish") {
    TestJournal journal{3, language, {}, 42, {}};
    journal.client.set(&ClientRecord::Name, "JOS\xc9 EXAMPLE");
    journal.client.set(&ClientRecord::Answers, std::string(109, '0'));
    for (int n = 1; n < 42; ++n) journal.responses[static_cast<std::size_t>(n)] = n % 2 + 1;
    return journal;
}

// A bad journal is refused, saying why, and moved aside; a pipe or huge file is never read.
const std::string Whole = FormatJournal(sample());
const std::string Edited = std::string(Whole).replace(Whole.find("Spanish"), 7, "English");
struct ReadRow { const char* name; std::string text; int clients; bool renameFails; const char* problem; };
const ReadRow ReadRows[] = {
    {"whole", Whole, 2, false, ""},
    {"another client file's", Whole, 3, false, "a client file of 2 clients"},
    {"another file", "[Path]\nFilePath=/data\n", 2, false, "not a test journal"},
    {"cut short", Whole.substr(0, 300), 2, false, "damaged"},
    {"edited", Edited, 2, false, "damaged"},
    {"no language of the bank", FormatJournal(sample("French")), 2, false, "damaged"},
    {"pipe", "", 2, false, "Path/File access error: a named pipe"},
    {"huge", Whole, 2, false, "1073741824 bytes, larger than such a file"},
    {"cannot be moved", Whole, 0, true, "a client file of 2 clients"},
};

// clang-format on
}  // namespace

class BankTest : public QObject {
    Q_OBJECT

private slots:
    void opensTheLanguageTables_data() { addRows(OpenRows); }
    void opensTheLanguageTables() {
        const OpenRow& r = currentRow(OpenRows);
        const TestFolder folder;
        std::vector<BankTable> layout;
        for (const std::string& table : r.tables) {
            auto rows = StandardRows(table.ends_with("108") ? 108 : 109);
            if (table.ends_with("swapped")) {
                std::swap(rows[1], rows[2]);
            }
            layout.emplace_back(table.substr(0, table.find(' ')), rows);
        }
        if (r.name == std::string("garbage")) {
            TestFolder::write(bankIn(folder), std::string(4096, 'x'));
        } else if (!layout.empty()) {
            WriteBank(bankIn(folder), layout);
        }
        try {
            const QuestionBank bank(bankIn(folder));
            QCOMPARE(bank.languages(), r.languages);
            QCOMPARE(bank.tables().size(), r.tables.size());
            bank.openTable("Spanish");
            QVERIFY(!*r.message);
        } catch (const DataFileError& e) {
            QVERIFY2(QString(e.what()).contains(r.message), e.what());
            QCOMPARE(e.file(), bankIn(folder));
        }
    }

    // Past either end a read or a step is an error; one bank is open at a time.
    void walksTheRowsAsStored() {
        const TestFolder folder;
        WriteBank(bankIn(folder), {{"English", StandardRows()}});
        const QuestionBank bank(bankIn(folder));
        QVERIFY_THROWS_EXCEPTION(DataFileError, QuestionBank(bankIn(folder)));
        auto records = bank.openTable("English");
        for (int item = 1; item <= 109; ++item, records.next()) {
            QCOMPARE(records.number("ID"), item);
        }
        QVERIFY_THROWS_EXCEPTION(DataFileError, records.text("TestQuestion"));
        records.first();
        QCOMPARE(records.text("TestQuestion"), "Statement 1");
        records.previous();
        QVERIFY(records.bof());
        QVERIFY_THROWS_EXCEPTION(DataFileError, records.previous());
    }

    // Choices 3 to 5 are offered when neither NULL nor empty; sound names lose outer blanks.
    void offersEachChoiceByItsOwnColumn_data() { addRows(ChoiceRows); }
    void offersEachChoiceByItsOwnColumn() {
        const ChoiceRow& r = currentRow(ChoiceRows);
        const TestFolder folder;
        std::vector<BankRow> rows = StandardRows();
        rows[0].Answer = {"One", std::nullopt, r.answer3, r.answer4, r.answer5};
        rows[0].QuestionAudio = "  item 1   ";
        rows[0].ChoiceAudio = {" c1  ", "c2", "c3", "c4", "c5"};
        WriteBank(bankIn(folder), {{"Spanish", rows}});
        auto records = QuestionBank(bankIn(folder)).openTable("Spanish");
        const BankItem item = ReadBankItem(records);
        QCOMPARE(item.QuestionAudioFile + item.ChoiceAudioFile[1], "item 1.wavc1.wav");
        QCOMPARE(*item.Answer[2], "");
        std::vector<int> offered;
        for (int k = 1; k <= BankItem::MaxChoices; ++k) {
            if (item.offered(k)) {
                offered.push_back(k);
            }
        }
        QCOMPARE(offered, r.choices);
    }

    void presentation_data() { addRows(WalkRows); }
    void presentation() {
        const WalkRow& r = currentRow(WalkRows);
        const TestFolder folder;
        WriteBank(bankIn(folder), {{"English", StandardRows()}});
        Presentation p(QuestionBank(bankIn(folder)).openTable("English"));
        QCOMPARE(play(p, r.script), r.shown);
        QCOMPARE(p.item().ID, r.item);
        QCOMPARE(p.answerText(), r.answers);
    }

    void soundsLieInTheLanguageFolder_data() { addRows(SoundRows); }
    void soundsLieInTheLanguageFolder() {
        const SoundRow& r = currentRow(SoundRows);
        QCOMPARE(SoundFilePath("/s", r.language, r.sound), r.file);
    }

    // The instructions follow the language's name in any case, English when it is no other.
    void instructionsFollowTheLanguage() {
        QVERIFY(SetInstructionText("spanish")[0].starts_with("Instrucciones\r\n"));
        QVERIFY(SetInstructionText("Span")[0].starts_with("General Instructions\r\n"));
        QCOMPARE(SetInstructionText("English")[3], std::string());
    }

    void soundsThatCannotBePlayed_data() { addRows(WaveRows); }
    void soundsThatCannotBePlayed() {
        const WaveRow& r = currentRow(WaveRows);
        const TestFolder folder;
        const std::string path = folder.root() + "/q1.wav";
        TestFolder::write(path, r.bytes);
        const FileSystem files(r.bytes == "fails" ? FailOn(FileOp::Open, "q1", EACCES)
                                                  : FaultInjector());
        QCOMPARE(SoundFileProblem(files, path), r.problem);
    }

    // The bank tool refuses a shipped item file with an item left out, writing no bank.
    void refusesBrokenItemFiles() {
        TestFolder folder;
        const std::string source = folder.root() + "/Spanish.tsv";
        QList<QByteArray> lines =
            QByteArray::fromStdString(
                TestFolder::read(TestFolder::sourceFolder() + "/data/items/Spanish.tsv"))
                .split('\n');
        lines.removeAt(52);
        TestFolder::write(source, lines.join('\n').toStdString());
        const QString bank = QString::fromStdString(folder.root() + "/QLMtest.db");
        QProcess makebank;
        makebank.start(QLM_MAKEBANK, {"build", bank, QString::fromStdString(source)});
        QVERIFY(makebank.waitForFinished());
        QCOMPARE(makebank.exitCode(), 1);
        QVERIFY(QString(makebank.readAllStandardError())
                    .contains(":53: holds item \"51\" where item 50 belongs"));
        QVERIFY(!QFile::exists(bank));
    }

    // Languages in the bank's order; each item with the choices it offers, by their numbers.
    void bankCommandListsLanguagesAndOfferedChoices() {
        TestFolder folder;
        auto rows = StandardRows();
        rows[108].Answer = {"Alone", "With friends", std::nullopt, "", "Elsewhere"};
        WriteBank(folder.program() + "/" + QuestionBankFileName,
                  {{"Notes", {}}, {"Spanish", rows}, {"English", rows}});
        QCOMPARE(runBank(folder.program(), {"bank", "--home", folder.program()}),
                 "Spanish\nEnglish\n");
        const std::string items = runBank(folder.program(), {"bank", "--language", "English"});
        QVERIFY(items.starts_with("1. Statement 1\n    1) True\n    2) False\n2. Statement 2\n"));
        QVERIFY(items.ends_with(
            "109. Statement 109\n    1) Alone\n    2) With friends\n    5) Elsewhere\n"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 runBank(folder.program(), {"bank", "--language", "english"}));
    }

    void readAndSetAside_data() { addRows(ReadRows); }
    void readAndSetAside() {
        const ReadRow& r = currentRow(ReadRows);
        const std::string kind = r.name;
        const TestFolder folder;
        const FileSystem files(r.renameFails ? FailOn(FileOp::Rename, "JNL", EACCES)
                                             : FaultInjector{});
        const std::string path = JournalFileName(folder.data() + "/");
        if (kind == "pipe") {
            QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
        } else {
            TestFolder::write(path, r.text);
        }
        if (kind == "huge") {
            std::filesystem::resize_file(path, 1u << 30);
        }
        std::string why;
        const auto journal = ReadJournal(files, path, r.clients, why);
        QCOMPARE(journal.has_value(), !*r.problem);
        QVERIFY2(why.find(r.problem) != std::string::npos, why.c_str());
        if (journal) {
            QCOMPARE(FormatJournal(*journal), r.text);  // every field read back
        } else {
            const auto aside = SetJournalAside(files, path);
            QCOMPARE(aside.has_value(), !r.renameFails);
            QCOMPARE(files.exists(path), r.renameFails);
        }
    }
};

QTEST_GUILESS_MAIN(BankTest)
#include "BankTest.moc"
