#include <QtTest>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "storage/FileSystem.h"
#include "support/TestFolder.h"
#include "testing/TestJournal.h"

using namespace qlm;

namespace {

TestJournal sample() {
    TestJournal journal;
    journal.record = 3;
    journal.language = "Spanish";
    journal.client.set(&ClientRecord::Name, "JOS\xc9 EXAMPLE");
    journal.client.set(&ClientRecord::Answers, std::string(109, '0'));
    journal.reached = 42;
    for (int n = 1; n < 42; ++n) {
        journal.responses[static_cast<std::size_t>(n)] = n % 2 + 1;
    }
    return journal;
}

}  // namespace

class TestJournalTest : public QObject {
    Q_OBJECT

private slots:
    // A journal reads back whole; anything else is refused, saying why.
    void parse_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("problem");
        const std::string whole = FormatJournal(sample());
        std::string edited = whole;
        edited[edited.find("Spanish")] = 's';
        TestJournal otherLanguage = sample();
        otherLanguage.language = "French";
        const auto row = [](const char* name, const std::string& text, const char* problem) {
            QTest::newRow(name) << QByteArray(text.c_str()) << QString::fromLatin1(problem);
        };
        row("whole", whole, "");
        row("empty", "", "not a test journal");
        row("another file", "[Path]\nFilePath=/data\n", "not a test journal");
        row("cut short", whole.substr(0, whole.size() / 2), "damaged");
        row("edited", edited, "damaged");
        row("no language of the bank", FormatJournal(otherLanguage), "damaged");
    }

    void parse() {
        QFETCH(QByteArray, text);
        QFETCH(QString, problem);
        std::string why;
        const auto read = ParseJournal(text.toStdString(), why);
        QCOMPARE(read.has_value(), problem.isEmpty());
        QVERIFY2(QString::fromStdString(why).contains(problem), why.c_str());
        if (read) {
            QCOMPARE(FormatJournal(*read), text.toStdString());  // every field read back
        }
    }

    void readAndSetAside_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("clients");
        QTest::addColumn<bool>("renameFails");
        QTest::addColumn<QString>("problem");
        QTest::newRow("the next client's") << "whole" << 2 << false << "";
        QTest::newRow("another client file's")
            << "whole" << 3 << false << "a client file of 2 clients";
        QTest::newRow("torn") << "torn" << 2 << false << "it is damaged";
        // Refused at once by type or size, never read.
        QTest::newRow("a named pipe")
            << "pipe" << 2 << false << "Path/File access error: a named pipe";
        QTest::newRow("1 GB") << "huge" << 2 << false
                              << "1073741824 bytes, larger than such a file";
        QTest::newRow("cannot be moved") << "whole" << 0 << true << "a client file of 2 clients";
    }

    // A journal that cannot be used is moved aside through the file layer, and one that cannot be
    // moved is said to stay where it is instead of being claimed kept elsewhere.
    void readAndSetAside() {
        QFETCH(QString, kind);
        QFETCH(int, clients);
        QFETCH(bool, renameFails);
        QFETCH(QString, problem);
        const test::TestFolder folder;
        const FileSystem files(renameFails ? test::FailOn(FileOp::Rename, "JNL", EACCES)
                                           : FaultInjector{});
        const std::string path = JournalFileName(folder.data() + "/");
        const std::string text = FormatJournal(sample());
        if (kind == "pipe") {
            QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
        } else {
            test::TestFolder::write(path, kind == "torn" ? text.substr(0, text.size() - 5) : text);
        }
        if (kind == "huge") {
            std::filesystem::resize_file(path, 1u << 30);
        }
        std::string why;
        const auto journal = ReadJournal(files, path, clients, why);
        QCOMPARE(journal.has_value(), problem.isEmpty());
        QVERIFY2(QString::fromStdString(why).contains(problem), why.c_str());
        if (journal) {
            return;
        }
        const auto aside = SetJournalAside(files, path);
        QCOMPARE(aside.has_value(), !renameFails);
        QCOMPARE(files.exists(path), renameFails);
        QCOMPARE(aside && files.exists(*aside), !renameFails);
    }
};

QTEST_GUILESS_MAIN(TestJournalTest)
#include "TestJournalTest.moc"
