#include <QtTest>
#include <cerrno>
#include <filesystem>

#include "supervisor/DeleteNames.h"
#include "support/EntryProgram.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

bool printableLatin1(char c) {
    const auto code = static_cast<unsigned char>(c);
    return (code >= 0x21 && code <= 0x7E) || (code >= 0xA1 && code != 0xAD);
}

// Three clients; the second's name was deleted before.
struct Program : test::EntryProgram {
    explicit Program(FaultInjector faults = {})
        : EntryProgram(test::RecordBytes("AB") + deleted() + test::RecordBytes("ZOE, ZACK"),
                       std::move(faults)) {}
    static std::string deleted() {
        ClientRecord record = ClientRecord::fromBytes(test::RecordBytes("DGLOWS"));
        record.set(&ClientRecord::NameDeleted, "1");
        return record.toBytes();
    }
};

// Backups as earlier runs left them: a whole copy, one cut short, and an interrupted write's
// leftover; and the client file's own leftover.
void layOutOldCopies(const Program& program) {
    const std::string backups = program.folder.data() + "/backup";
    std::filesystem::create_directory(backups);
    TestFolder::write(backups + "/DATA401-20261201-090000-000.QLM", program.onDisk);
    TestFolder::write(backups + "/DATA401-20261202-090000-000.QLM", program.onDisk.substr(0, 300));
    TestFolder::write(backups + "/DATA401-20261203-090000-000.QLM.new", program.onDisk);
    TestFolder::write(program.folder.clientFile() + ".new", program.onDisk);
}

}  // namespace

class DeleteNamesTest : public QObject {
    Q_OBJECT

private slots:
    void scrambling_data();
    void scrambling();
    void everyCodeStaysPrintable();
    void deleteNames();
    void answeringNoChangesNothing();
    void aFailedWriteStopsAndSaysSo();
    void noReadableNameIsLeftInTheDataLocation();
    void aBackupThatKeepsItsNamesIsNamed();
};

void DeleteNamesTest::scrambling_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("AB") << QByteArray("AB" + QByteArray(23, ' '));
    QTest::newRow("blanks stay") << QByteArray(25, ' ');
    QTest::newRow("words keep their shape") << QByteArray("SHEET, PAT" + QByteArray(15, ' '));
    QTest::newRow("past the printable range") << QByteArray("z|\xff\xfa");
}

// Every character but the blank changes, to a printable one; two equal names come out
// differently, and the old fixed shift taken back recovers nothing.
void DeleteNamesTest::scrambling() {
    QFETCH(QByteArray, name);
    const std::string original = name.toStdString();
    std::string once = original;
    std::string twice = original;
    ScrambleName(once);
    ScrambleName(twice);
    QCOMPARE(once.size(), original.size());
    std::string unshifted = once;
    for (std::size_t i = 0; i < original.size(); ++i) {
        QCOMPARE(once[i] == ' ', original[i] == ' ');
        QVERIFY(original[i] == ' ' || (once[i] != original[i] && printableLatin1(once[i])));
        const int code = static_cast<unsigned char>(once[i]);
        unshifted[i] = once[i] == ' ' ? ' ' : static_cast<char>(code - (code % 2 == 0 ? 3 : 7));
    }
    const bool blank = original == std::string(original.size(), ' ');
    QCOMPARE(once == twice, blank);
    QCOMPARE(unshifted == original, blank);
}

void DeleteNamesTest::everyCodeStaysPrintable() {
    for (int code = 0x21; code <= 0xFF; ++code) {
        std::string one(1, static_cast<char>(code));
        ScrambleName(one);
        QVERIFY2(printableLatin1(one[0]), qPrintable(QString::number(code)));
        QVERIFY(one[0] != static_cast<char>(code));
    }
}

// Names not deleted before are scrambled, marked and saved, the report that may hold one is
// removed and the run logged; a second run changes nothing.
void DeleteNamesTest::deleteNames() {
    Program program;
    TestFolder::write(program.session.reportFile(), "AB REPORT\r\n");
    program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
    DelNames(program.session, program.fake.messages);
    const std::string after = TestFolder::read(program.folder.clientFile());
    QCOMPARE(after.size(), program.onDisk.size());
    for (const int r : {0, 2}) {  // the first and third clients
        const std::string name = after.substr(r * 185, 25);
        QVERIFY(name != program.onDisk.substr(r * 185, 25));
        QCOMPARE(name.find_first_of(' '), r == 0 ? std::size_t(2) : std::size_t(4));
        QCOMPARE(after.substr(r * 185 + 25, 160), program.onDisk.substr(r * 185 + 25, 159) + "1");
    }
    QCOMPARE(after.substr(185, 185), program.onDisk.substr(185, 185));
    QCOMPARE(program.session.Scoring.NameDeletedFlag, std::int16_t(1));
    QVERIFY(!std::filesystem::exists(program.session.reportFile()));
    const auto& shown = program.fake.messages.shown;
    QCOMPARE(shown.size(), std::size_t(2));
    QCOMPARE(shown[0],
             (Message{"You are about to delete the Client Name from\r\nall tests in "
                      "this data location.\r\nThe ID number will be deleted as well.\r\n\r\n"
                      "Are you SURE you want to do this?",
                      "WARNING!", MsgIcon::Critical, MsgButtons::YesNoDefaultNo}));
    QCOMPARE(shown[1], (Message{"Process complete. Press Enter to continue.", "", MsgIcon::None,
                                MsgButtons::OK}));

    program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
    DelNames(program.session, program.fake.messages);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), after);
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(4));
    const QString log =
        QString::fromStdString(TestFolder::read(program.folder.data() + "/access.log"));
    QVERIFY2(log.contains(QRegularExpression("\tquillmere\tdelete-names\t1,3\n.*"
                                             "\tquillmere\tdelete-names\t-\n$")),
             qPrintable(log));
}

void DeleteNamesTest::answeringNoChangesNothing() {
    Program program;
    program.fake.messages.answer(MsgAnswer::No);
    DelNames(program.session, program.fake.messages);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    QCOMPARE(program.session.Clients.entry(1).Name.substr(0, 2), std::string("AB"));
}

void DeleteNamesTest::aFailedWriteStopsAndSaysSo() {
    Program program(test::FailOn(FileOp::Write, "DATA401.QLM", ENOSPC));
    program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
    DelNames(program.session, program.fake.messages);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    QCOMPARE(program.session.Clients.entry(1).toBytes(), program.onDisk.substr(0, 185));
    const Message& last = program.fake.messages.shown.back();
    QCOMPARE(last.title, std::string("Delete Names"));
    QVERIFY(last.text.find("The name of client 1 could not be deleted: Error 61:") == 0);
}

void DeleteNamesTest::noReadableNameIsLeftInTheDataLocation() {
    Program program;
    layOutOldCopies(program);
    program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
    DelNames(program.session, program.fake.messages);

    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(program.folder.data())) {
        if (entry.is_regular_file()) {
            ++files;
            const std::string bytes = TestFolder::read(entry.path().string());
            QVERIFY2(bytes.find("ZOE, ZACK") == std::string::npos, entry.path().c_str());
            QVERIFY2(bytes.find("AB" + std::string(23, ' ')) == std::string::npos,
                     entry.path().c_str());
        }
    }
    // The client file, its lock file and access log, the earlier copies and this run's own
    // copy, all scrambled but for the damaged record of the cut copy.
    QCOMPARE(files, 6);
    const std::string old =
        TestFolder::read(program.folder.data() + "/backup/DATA401-20261201-090000-000.QLM");
    for (const int r : {0, 2}) {
        QCOMPARE(old.substr(r * 185 + 184, 1), std::string("1"));
    }
    QCOMPARE(program.fake.messages.shown.back().text,
             std::string("These records are damaged and were left as they are, names "
                         "included: DATA401-20261202-090000-000.QLM record 2.\r\n\r\nProcess "
                         "complete. Press Enter to continue."));
}

void DeleteNamesTest::aBackupThatKeepsItsNamesIsNamed() {
    // The earlier copy can be neither replaced nor removed.
    Program program([](FileOp op, const std::string& path) {
        const bool old = path.find("DATA401-20261201") != std::string::npos;
        return old && (op == FileOp::Rename || op == FileOp::Remove) ? EIO : 0;
    });
    layOutOldCopies(program);
    program.fake.messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
    DelNames(program.session, program.fake.messages);
    const Message& last = program.fake.messages.shown.back();
    QCOMPARE(last.title, std::string("Delete Names"));
    QCOMPARE(last.icon, MsgIcon::Critical);
    QVERIFY2(last.text.find("still hold them and could not be removed: " + program.folder.data() +
                            "/backup/DATA401-20261201-090000-000.QLM.") != std::string::npos,
             last.text.c_str());
}

QTEST_GUILESS_MAIN(DeleteNamesTest)
#include "DeleteNamesTest.moc"
