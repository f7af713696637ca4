#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <filesystem>
#include <sstream>

#include "TestBank.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"
#include "testing/BankItem.h"
#include "testing/QuestionBank.h"
#include "testing/SoundFiles.h"
#include "testing/TestTexts.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

std::string builtBank() {
    return TestFolder::builtProgramFolder() + "/" + QuestionBankFileName;
}

std::string runBank(const std::string& home, std::vector<std::string> argv) {
    const FileSystem files;
    Session session(files, home);
    std::ostringstream out;
    cli::RunBank(session, cli::CliArgs::parse(argv), out);
    return out.str();
}

// "Length (seconds)" and "RMS amplitude" from `sox FILE -n stat`.
std::pair<double, double> measure(const std::string& file) {
    QProcess sox;
    sox.start("sox", {QString::fromStdString(file), "-n", "stat"});
    sox.waitForFinished();
    const QString stat = sox.readAllStandardError();
    const auto value = [&](const char* label) {
        const auto match = QRegularExpression(QString(label) + R"(:\s*([0-9.]+))").match(stat);
        return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
    };
    return {value(R"(Length \(seconds\))"), value("RMS     amplitude")};
}

}  // namespace

// The bank and the spoken prompts that the build puts into the program folder, the tool that
// makes them, and qlm bank.
class GeneratedBankTest : public QObject {
    Q_OBJECT

private slots:
    void holdsEveryItemAndItsSounds_data() {
        QTest::addColumn<std::string>("language");
        QTest::newRow("English") << std::string("English");
        QTest::newRow("Spanish") << std::string("Spanish");
    }
    // True/false up to item 97, four choices after it, each with its sound.
    void holdsEveryItemAndItsSounds() {
        QFETCH(std::string, language);
        const QuestionBank bank(builtBank());
        QCOMPARE(bank.languages(), (std::vector<std::string>{"English", "Spanish"}));
        auto records = bank.openTable(language);
        std::vector<std::string> sounds(InstructionAudioFile.begin(), InstructionAudioFile.end());
        for (const auto& sound : ShortSounds) {
            sounds.emplace_back(sound.file);
        }
        for (int n = 1; !records.eof(); ++n, records.next()) {
            const BankItem item = ReadBankItem(records);
            QCOMPARE(item.ID, n);
            QVERIFY(!item.TestQuestion.empty());
            sounds.push_back(item.QuestionAudioFile);
            for (int k = 1; k <= BankItem::MaxChoices; ++k) {
                QVERIFY2(item.offered(k) == (k <= (n <= 97 ? 2 : 4)),
                         qPrintable(QString("item %1 choice %2").arg(n).arg(k)));
                if (item.offered(k)) {
                    QVERIFY(!item.Answer[k]->empty());
                    sounds.push_back(item.ChoiceAudioFile[k]);
                }
            }
            QVERIFY(n > 97 || item.ChoiceAudioFile[1] == "True.wav");
        }
        QCOMPARE(records.rowCount(), 109u);

        if (QStandardPaths::findExecutable("espeak-ng").isEmpty() ||
            QStandardPaths::findExecutable("sox").isEmpty()) {
            QSKIP("espeak-ng or sox is not installed: the build renders no sounds");
        }
        const std::string soundPath = TestFolder::builtProgramFolder();
        const FileSystem files;
        for (const auto& name : sounds) {
            const std::string path = SoundFilePath(soundPath, language, name);
            QVERIFY2(std::filesystem::file_size(path) > 1000, path.c_str());
            QVERIFY2(SoundFileProblem(files, path).empty(), path.c_str());
        }
        const auto [instLength, instRms] = measure(SoundFilePath(soundPath, language, "Inst0.wav"));
        const auto [itemLength, itemRms] = measure(SoundFilePath(soundPath, language, "q001.wav"));
        const auto [wordLength, wordRms] = measure(SoundFilePath(soundPath, language, "T"));
        // A spoken sentence of a dozen words takes seconds; the general instructions, some 120
        // words, take well over ten times a single word. Speech at a normal level has an RMS
        // amplitude of several hundredths of full scale; silence or a broken file gives near 0.
        QVERIFY(itemLength > 1.5 && itemLength < 10);
        QVERIFY(wordLength > 0.3 && wordLength < itemLength);
        QVERIFY(instLength > 20 && instLength > 5 * itemLength && instLength < 180);
        for (const double rms : {instRms, itemRms, wordRms}) {
            QVERIFY(rms > 0.02 && rms < 0.5);
        }
    }

    void refusesBrokenItemFiles_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("item missing") << "drop 50"
                                      << ":53: holds item \"51\" where item 50 belongs";
        QTest::newRow("column missing") << "12 columns"
                                        << ":4: has 12 columns instead of 13";
        QTest::newRow("not UTF-8") << "latin-1"
                                   << ":4: not UTF-8 text";
    }
    void refusesBrokenItemFiles() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        TestFolder folder;
        const std::string source = folder.root() + "/Spanish.tsv";
        QByteArray items(
            TestFolder::read(TestFolder::sourceFolder() + "/data/items/Spanish.tsv").c_str());
        QList<QByteArray> lines = items.split('\n');  // three comment lines, then item 1
        if (fault == "drop 50") {
            lines.removeAt(52);
        } else if (fault == "12 columns") {
            lines[3] = lines[3].left(lines[3].lastIndexOf('\t'));
        } else {
            lines[3].append("\xE9");  // a Latin-1 e-acute
        }
        TestFolder::write(source, lines.join('\n').toStdString());
        QProcess makebank;
        makebank.start(QLM_MAKEBANK,
                       {"build", QString::fromStdString(folder.root() + "/QLMtest.db"),
                        QString::fromStdString(source)});
        QVERIFY(makebank.waitForFinished());
        QCOMPARE(makebank.exitCode(), 1);
        QVERIFY(QString(makebank.readAllStandardError()).contains(message));
        QVERIFY(!QFile::exists(QString::fromStdString(folder.root() + "/QLMtest.db")));
    }

    void buildsWithoutEspeakSilently() {
        TestFolder folder;
        const QString stamp = QString::fromStdString(folder.root() + "/sounds.stamp");
        QProcess render;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", QString::fromStdString(folder.root()));  // no espeak-ng to be found
        render.setProcessEnvironment(env);
        render.start("/bin/bash",
                     {QString::fromStdString(TestFolder::sourceFolder() + "/scripts/render-sounds"),
                      QLM_MAKEBANK, QString::fromStdString(builtBank()),
                      QString::fromStdString(folder.program()),
                      QString::fromStdString(folder.root() + "/text"), stamp});
        QVERIFY(render.waitForFinished());
        QCOMPARE(render.exitCode(), 0);
        QVERIFY(render.readAllStandardOutput().contains("espeak-ng is not installed"));
        QVERIFY(!QFile::exists(stamp));  // so that the sounds are made once espeak-ng is there
        QVERIFY(!QDir(QString::fromStdString(folder.program() + "/QLMTest")).exists());
    }

    // Languages in the bank's order; each item with the choices it offers, by their numbers.
    void bankCommandListsLanguagesAndOfferedChoices() {
        TestFolder folder;
        auto rows = test::StandardRows();
        rows[108].Answer = {"Alone", "With friends", std::nullopt, "", "Elsewhere"};
        test::WriteBank(folder.program() + "/" + QuestionBankFileName,
                        {{"Notes", {}}, {"Spanish", rows}, {"English", rows}});
        QCOMPARE(runBank(folder.program(), {"bank", "--home", folder.program()}),
                 "Spanish\nEnglish\n");
        const std::string items = runBank(folder.program(), {"bank", "--language", "English"});
        QVERIFY(items.starts_with("1. Statement 1\n    1) True\n    2) False\n2. Statement 2\n"));
        QVERIFY(items.ends_with(
            "109. Statement 109\n    1) Alone\n    2) With friends\n    5) Elsewhere\n"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 runBank(folder.program(), {"bank", "--language", "english"}));
        const std::string spanish =
            runBank(TestFolder::builtProgramFolder(), {"bank", "--language", "Spanish"});
        QCOMPARE(std::count(spanish.begin(), spanish.end(), '\n'), 109 + 97 * 2 + 12 * 4);
        QVERIFY(spanish.find("\n98. ¿Con quién vives") != std::string::npos);
    }
};

QTEST_GUILESS_MAIN(GeneratedBankTest)
#include "GeneratedBankTest.moc"
