#include <QtTest>
#include <optional>

#include "TestBank.h"
#include "session/ProgramFolder.h"
#include "storage/DataFileError.h"
#include "support/TestFolder.h"
#include "testing/BankItem.h"
#include "testing/Presentation.h"
#include "testing/QuestionBank.h"
#include "testing/SoundFiles.h"
#include "testing/TestTexts.h"

using namespace qlm;
using namespace qlm::test;

namespace {

std::string bankIn(const TestFolder& folder) {
    return folder.program() + "/" + QuestionBankFileName;
}

// Plays `script` on the presentation: a digit answers the item on screen with that choice and
// moves on, "<" steps back. Returns what was shown beyond the next item: "P" the end of a part,
// "I" the section 2 instructions, "E" the end of the test, "-" a step back refused.
std::string play(Presentation& p, const std::string& script) {
    std::string shown;
    for (const char c : script) {
        if (c == '<') {
            shown += p.goBack() ? "" : "-";
            continue;
        }
        const AfterChoice after = p.choose(c - '0');
        shown += after == AfterChoice::EndOfPart ? "P" : after == AfterChoice::EndOfTest ? "E" : "";
        const NextShown next = p.GetNextQuestion();
        shown += next == NextShown::SectionTwoInstructions ? "I"
                 : next == NextShown::EndOfTest            ? "E"
                                                           : "";
    }
    return shown;
}

}  // namespace

// The question bank, the sounds its items name, and the test's walk through a language table.
class QuestionBankTest : public QObject {
    Q_OBJECT

private slots:
    void languagesAreTheExactNamesInStoreOrder_data() {
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QStringList>("languages");
        QTest::newRow("store order, not sorted")
            << QStringList{"Spanish", "English"} << QStringList{"Spanish", "English"};
        QTest::newRow("other tables ignored")
            << QStringList{"Notes", "English", "Versions", "Spanish"}
            << QStringList{"English", "Spanish"};
        QTest::newRow("case matters")
            << QStringList{"ENGLISH", "Spanish"} << QStringList{"Spanish"};
        QTest::newRow("none") << QStringList{"french", "spanish"} << QStringList{};
    }
    void languagesAreTheExactNamesInStoreOrder() {
        QFETCH(QStringList, tables);
        QFETCH(QStringList, languages);
        const TestFolder folder;
        std::vector<BankTable> layout;
        for (const QString& name : tables) {
            layout.emplace_back(name.toStdString(), std::vector<BankRow>{});
        }
        WriteBank(bankIn(folder), layout);
        QStringList found;
        for (const std::string& language : QuestionBank(bankIn(folder)).languages()) {
            found << QString::fromStdString(language);
        }
        QCOMPARE(found, languages);
        QCOMPARE(QuestionBank(bankIn(folder)).tables().size(), std::size_t(tables.size()));
    }

    // Past either end a read or a further step is an error; first() starts again.
    void walksTheRowsAsStored() {
        const TestFolder folder;
        WriteBank(bankIn(folder), {{"English", StandardRows()}});
        auto records = QuestionBank(bankIn(folder)).openTable("English");
        for (int item = 1; item <= 109; ++item, records.next()) {
            QCOMPARE(records.number("ID"), item);
        }
        QVERIFY(records.eof());
        QVERIFY_THROWS_EXCEPTION(DataFileError, records.text("TestQuestion"));
        records.first();
        QCOMPARE(records.text("TestQuestion"), "Statement 1");
        records.previous();
        QVERIFY(records.bof());
        QVERIFY_THROWS_EXCEPTION(DataFileError, records.previous());
    }

    void offersEachChoiceByItsOwnColumn_data() {
        using Text = std::optional<std::string>;
        QTest::addColumn<Text>("answer3");
        QTest::addColumn<Text>("answer4");
        QTest::addColumn<Text>("answer5");
        QTest::addColumn<std::vector<int>>("choices");
        QTest::newRow("null, empty, set")
            << Text() << Text("") << Text("Five") << std::vector{1, 2, 5};
        QTest::newRow("all null") << Text() << Text() << Text() << std::vector{1, 2};
        QTest::newRow("five choices")
            << Text("3") << Text("4") << Text("5") << std::vector{1, 2, 3, 4, 5};
        QTest::newRow("a blank is a text") << Text(" ") << Text() << Text() << std::vector{1, 2, 3};
    }
    // Choices 3 to 5 are offered where their text is not NULL and not empty; a NULL second
    // choice shows as empty and is still offered. Sound names lose their outer blanks only.
    void offersEachChoiceByItsOwnColumn() {
        QFETCH(std::optional<std::string>, answer3);
        QFETCH(std::optional<std::string>, answer4);
        QFETCH(std::optional<std::string>, answer5);
        QFETCH(std::vector<int>, choices);
        const TestFolder folder;
        std::vector<BankRow> rows = StandardRows();
        rows[0].Answer = {"One", std::nullopt, answer3, answer4, answer5};
        rows[0].QuestionAudio = "  item 1   ";
        rows[0].ChoiceAudio = {" c1  ", "c2", "c3", "c4", "c5"};
        WriteBank(bankIn(folder), {{"Spanish", rows}});
        auto records = QuestionBank(bankIn(folder)).openTable("Spanish");
        const BankItem item = ReadBankItem(records);
        QCOMPARE(item.QuestionAudioFile, "item 1.wav");
        QCOMPARE(*item.Answer[2], "");
        std::vector<int> offered;
        for (int k = 1; k <= BankItem::MaxChoices; ++k) {
            if (item.offered(k)) {
                offered.push_back(k);
                QCOMPARE(item.ChoiceAudioFile[k], "c" + std::to_string(k) + ".wav");
            }
        }
        QCOMPARE(offered, choices);
    }

    void namesWhatIsMissing_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("message");
        QTest::newRow("no file") << "none"
                                 << "QLMtest.db: the question bank is missing";
        QTest::newRow("not a bank") << "garbage"
                                    << "not a readable question bank";
        QTest::newRow("no table") << "english only"
                                  << "has no table \"Spanish\"";
        QTest::newRow("short table") << "108 rows"
                                     << "table \"Spanish\" holds 108 rows; items 1 to 109";
        QTest::newRow("out of order") << "swapped"
                                      << "holds item 3 in row 2";
    }
    void namesWhatIsMissing() {
        QFETCH(QString, layout);
        QFETCH(QString, message);
        const TestFolder folder;
        auto rows = StandardRows();
        std::swap(rows[1], rows[2]);
        if (layout == "garbage") {
            TestFolder::write(bankIn(folder), std::string(4096, 'x'));
        } else if (layout != "none") {
            WriteBank(bankIn(folder), {{layout == "english only" ? "English" : "Spanish",
                                        layout == "swapped" ? rows : StandardRows(108)}});
        }
        try {
            QuestionBank(bankIn(folder)).openTable("Spanish");
            QFAIL("the bank was accepted");
        } catch (const DataFileError& e) {
            QVERIFY2(QString(e.what()).contains(message), e.what());
            QCOMPARE(e.file(), bankIn(folder));
        }
    }

    void opensOneBankAtATime() {
        const TestFolder folder;
        WriteBank(bankIn(folder), {{"English", StandardRows()}});
        {
            const QuestionBank first(bankIn(folder));
            QVERIFY_THROWS_EXCEPTION(DataFileError, QuestionBank(bankIn(folder)));
        }
        QCOMPARE(QuestionBank(bankIn(folder)).openTable("English").rowCount(), 109u);
    }

    void presentation_data() {
        QTest::addColumn<std::string>("script");
        QTest::addColumn<std::string>("shown");
        QTest::addColumn<int>("item");
        QTest::addColumn<std::string>("answers");
        QTest::newRow("the whole test")
            << std::string(109, '0') << std::string("PIEE") << 109 << std::string(109, '1');
        // A skipped item keeps the choice given before, one never reached stores "0".
        QTest::newRow("stepping back") << std::string("<1111<<<0<<<") << std::string("--") << 1
                                       << "212200" + std::string(103, '0');
        // Back from 98 shows no instructions; 97 answered again ends the part again, and the
        // last item answered again after the end ends the test again.
        QTest::newRow("back across the sections and the end")
            << std::string(97, '0') + "<1" + std::string(12, '3') + "<0" << std::string("PIPIEEEE")
            << 109 << std::string(96, '1') + "2" + std::string(11, '4') + "1";
    }
    void presentation() {
        QFETCH(std::string, script);
        QFETCH(std::string, shown);
        QFETCH(int, item);
        QFETCH(std::string, answers);
        const TestFolder folder;
        WriteBank(bankIn(folder), {{"English", StandardRows()}});
        Presentation p(QuestionBank(bankIn(folder)).openTable("English"));
        QCOMPARE(play(p, script), shown);
        QCOMPARE(p.item().ID, item);
        QCOMPARE(p.answerText(), answers);
    }

    // Short names stand for their files; any other name is kept as it is, trimmed.
    void soundsLieInTheLanguageFolder_data() {
        QTest::addColumn<std::string>("soundPath");
        QTest::addColumn<std::string>("language");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<std::string>("file");
        const auto row = [](const char* tag, std::string path, std::string language,
                            std::string name, std::string file) {
            QTest::newRow(tag) << path << language << name << file;
        };
        row("default drive", "c:", "English", SoundFileName("q1"),
            "c:/QLMTest/sound/English/q1.wav");
        row("T", "/s", "English", "T", "/s/QLMTest/sound/English/True.wav");
        row("lower f", "/s", "English", "f", "/s/QLMTest/sound/English/False.wav");
        row("y with blanks", "/s", "Spanish", "  y ", "/s/QLMTest/sound/Spanish/Yes.wav");
        row("N", "/s", "Spanish", "N", "/s/QLMTest/sound/Spanish/No.wav");
        row("other letter", "/s", "English", "X ", "/s/QLMTest/sound/English/X");
        // A bank value T reaches the player as "T.wav" and is looked up under that name.
        row("short name from the bank", "/s", "English", SoundFileName(" T "),
            "/s/QLMTest/sound/English/T.wav");
    }
    void soundsLieInTheLanguageFolder() {
        QFETCH(std::string, soundPath);
        QFETCH(std::string, language);
        QFETCH(std::string, name);
        QFETCH(std::string, file);
        QCOMPARE(SoundFilePath(soundPath, language, name), file);
    }

    // The instructions follow the language's name in any case, English when it is no other.
    void instructionsFollowTheLanguage() {
        QVERIFY(SetInstructionText("spanish")[0].starts_with("Instrucciones\r\n"));
        QVERIFY(SetInstructionText("Span")[0].starts_with("General Instructions\r\n"));
        QCOMPARE(SetInstructionText("English")[3], std::string());
    }

    // A file that opens but holds no wave the player decodes is an error like one that cannot
    // be opened.
    void soundsThatCannotBePlayed_data() {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<std::string>("problem");
        const std::string wave = Wave();
        const std::string invalid = "321:Invalid file format";
        QTest::newRow("16-bit PCM") << wave << std::string();
        QTest::newRow("float") << Wave(3, 32) << std::string();
        QTest::newRow("a list chunk first")
            << wave.substr(0, 12) + "LIST" + std::string("\3\0\0\0abc\0", 8) + wave.substr(12)
            << std::string();
        QTest::newRow("header only") << std::string("RIFF") << invalid;
        QTest::newRow("MP3 in a wave") << Wave(0x55) << invalid;
        QTest::newRow("24-bit") << Wave(1, 24) << invalid;
        QTest::newRow("no samples") << wave.substr(0, 44) << invalid;
        QTest::newRow("text") << std::string(100, 'x') << invalid;
        QTest::newRow("unreadable") << std::string("fails") << std::string("70:Permission denied");
    }
    void soundsThatCannotBePlayed() {
        QFETCH(std::string, bytes);
        QFETCH(std::string, problem);
        const TestFolder folder;
        const std::string path = folder.root() + "/q1.wav";
        TestFolder::write(path, bytes);
        const FileSystem files(bytes == "fails" ? FailOn(FileOp::Open, "q1", EACCES)
                                                : FaultInjector());
        QCOMPARE(SoundFileProblem(files, path), problem);
    }
};

QTEST_GUILESS_MAIN(QuestionBankTest)
#include "QuestionBankTest.moc"
