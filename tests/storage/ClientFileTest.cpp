#include <sys/stat.h>

#include <QtTest>
#include <cerrno>

#include "app/Session.h"
#include "storage/ClientFile.h"
#include "storage/FileError.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

class ClientFileTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsStandAtTheirOffsets();
    void longNamesAreCutAndShortOnesPadded();
    void recordCountFollowsFileLength_data();
    void recordCountFollowsFileLength();
    void missingFileIsCreatedEmptyForTheOwnerOnly();
    void tooManyRecordsAreRefusedAndNothingIsLoaded();
    void saveClientAppendsOverwritesAndFillsAShortRecord();
    void clearedClientIsSavedAsBlanks();
    void failedWritesReachTheCaller_data();
    void failedWritesReachTheCaller();
    void recordNumbersOutsideTheTableAreRefused();
};

void ClientFileTest::fieldsStandAtTheirOffsets() {
    // A record typed out by hand, field by field, at the documented offsets.
    std::string bytes = "RIVERS, DANA (DEMO)      "  // Name 0..24
                        "15"                          // Age 25
                        "2"                           // Sex 27
                        "3"                           // Race 28
                        " 9"                          // Education 29
                        "04/01/2011"                  // DateOfBirth 31
                        "0"                           // MaritalStatus 41
                        "12/06/2026"                  // DateScored 42
                        "13" " 2" " 1" "-1" " 4" " 5" " 6" " 7" " 8" " 9" "10";  // counts 52..73
    bytes += std::string(108, '1') + "2";  // Answers 74..182
    bytes += "31";                         // EditCount 183, NameDeleted 184
    QCOMPARE(bytes.size(), ClientRecord::Size);

    const ClientRecord r = ClientRecord::fromBytes(bytes);
    QCOMPARE(r.Name, std::string("RIVERS, DANA (DEMO)      "));
    QCOMPARE(r.Age, std::string("15"));
    QCOMPARE(r.Sex, std::string("2"));
    QCOMPARE(r.Race, std::string("3"));
    QCOMPARE(r.Education, std::string(" 9"));
    QCOMPARE(r.DateOfBirth, std::string("04/01/2011"));
    QCOMPARE(r.MaritalStatus, std::string("0"));
    QCOMPARE(r.DateScored, std::string("12/06/2026"));
    QCOMPARE(r.AgeAtFirstArrest, std::string("13"));
    QCOMPARE(r.TruancyCount, std::string(" 2"));
    QCOMPARE(r.ArrestCount, std::string("-1"));
    QCOMPARE(r.DrugArrestCount, std::string("10"));
    QCOMPARE(r.courtCount(11), std::string("10"));
    QCOMPARE(r.courtCount(1), std::string("13"));
    QCOMPARE(r.Answers.size(), std::size_t{109});
    QCOMPARE(r.Answers.back(), '2');
    QCOMPARE(r.EditCount, std::string("3"));
    QCOMPARE(r.NameDeleted, std::string("1"));
    QCOMPARE(r.toBytes(), bytes);

    // A short record reads as if padded with blanks.
    const ClientRecord shortRecord = ClientRecord::fromBytes(bytes.substr(0, 100));
    QCOMPARE(shortRecord.Answers, bytes.substr(74, 26) + std::string(83, ' '));
    QCOMPARE(shortRecord.NameDeleted, std::string(" "));
}

void ClientFileTest::longNamesAreCutAndShortOnesPadded() {
    ClientRecord r;
    r.set(&ClientRecord::Name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    QCOMPARE(r.Name, std::string("ABCDEFGHIJKLMNOPQRSTUVWXY"));
    r.set(&ClientRecord::Name, "ANN");
    QCOMPARE(r.Name, "ANN" + std::string(22, ' '));
    QCOMPARE(r.toBytes().size(), ClientRecord::Size);
    QCOMPARE(ClientRecord().toBytes(), std::string(185, ' '));
}

void ClientFileTest::recordCountFollowsFileLength_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::newRow("empty") << 0 << 0 << 0;
    QTest::newRow("three records") << 3 * 185 << 3 << 1;
    QTest::newRow("2.54 records round up") << 2 * 185 + 100 << 3 << 1;
    QTest::newRow("2.497 records round down") << 2 * 185 + 92 << 2 << 1;
    QTest::newRow("half a record is not one") << 92 << 0 << 0;
}

void ClientFileTest::recordCountFollowsFileLength() {
    QFETCH(int, length);
    QFETCH(int, count);
    QFETCH(int, current);
    TestFolder folder;
    std::string bytes;
    for (int r = 1; r <= 3; ++r) {
        bytes += test::RecordBytes("CLIENT " + std::to_string(r), std::string(109, '1'));
    }
    TestFolder::write(folder.clientFile(), bytes.substr(0, static_cast<std::size_t>(length)));

    const FileSystem files;
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    LoadClients(session);
    QCOMPARE(int(session.NumberOfClients), count);
    QCOMPARE(int(session.CurrentClient), current);
    for (int r = 1; r <= count; ++r) {
        QCOMPARE(session.ClientTable[std::size_t(r)].Name,
                 "CLIENT " + std::to_string(r) + std::string(17, ' '));
    }
    if (length == 2 * 185 + 100) {
        // The short third record keeps its first 100 bytes and is blank beyond them.
        QCOMPARE(session.ClientTable[3].Answers, std::string(26, '1') + std::string(83, ' '));
    }
}

void ClientFileTest::missingFileIsCreatedEmptyForTheOwnerOnly() {
    TestFolder folder;
    const FileSystem files;
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    LoadClients(session);
    QCOMPARE(int(session.NumberOfClients), 0);
    struct stat st {};
    QCOMPARE(::stat(folder.clientFile().c_str(), &st), 0);
    QCOMPARE(st.st_size, off_t{0});
    QCOMPARE(st.st_mode & 0777, mode_t{0600});
}

void ClientFileTest::tooManyRecordsAreRefusedAndNothingIsLoaded() {
    TestFolder folder;
    std::string bytes;
    for (int r = 1; r <= 52; ++r) {
        bytes += test::RecordBytes("C" + std::to_string(r));
    }
    TestFolder::write(folder.clientFile(), bytes);
    const FileSystem files;
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    session.NumberOfClients = 2;
    session.ClientTable[1].set(&ClientRecord::Name, "KEPT");
    try {
        LoadClients(session);
        QFAIL("a file of 52 records was loaded");
    } catch (const FileError& e) {
        QVERIFY(std::string(e.what()).find("52 records") != std::string::npos);
        QVERIFY(std::string(e.what()).find(folder.clientFile()) != std::string::npos);
    }
    QCOMPARE(int(session.NumberOfClients), 2);
    QCOMPARE(Trim(session.ClientTable[1].Name), std::string("KEPT"));
    QCOMPARE(TestFolder::read(folder.clientFile()), bytes);
}

void ClientFileTest::saveClientAppendsOverwritesAndFillsAShortRecord() {
    TestFolder folder;
    std::string bytes;
    for (int r = 1; r <= 3; ++r) {
        bytes += test::RecordBytes("CLIENT " + std::to_string(r));
    }
    TestFolder::write(folder.clientFile(), bytes);
    const FileSystem files;
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    LoadClients(session);

    session.ClientTable[4].set(&ClientRecord::Name, "NEW CLIENT");
    SaveClient(session, 4);
    std::string onDisk = TestFolder::read(folder.clientFile());
    QCOMPARE(onDisk.size(), std::size_t{4 * 185});
    QCOMPARE(onDisk.substr(0, 3 * 185), bytes);
    QCOMPARE(onDisk.substr(3 * 185, 10), std::string("NEW CLIENT"));

    session.ClientTable[2].set(&ClientRecord::Age, "14");
    SaveClient(session, 2);
    onDisk = TestFolder::read(folder.clientFile());
    QCOMPARE(onDisk.size(), std::size_t{4 * 185});
    QCOMPARE(onDisk.substr(185 + 25, 2), std::string("14"));

    // A file ending inside record 3: saving record 4 writes record 3 whole first, so no
    // undefined bytes lie between them.
    TestFolder::write(folder.clientFile(), bytes.substr(0, 2 * 185 + 100));
    LoadClients(session);
    QCOMPARE(int(session.NumberOfClients), 3);
    session.ClientTable[4].set(&ClientRecord::Name, "FOURTH");
    SaveClient(session, 4);
    onDisk = TestFolder::read(folder.clientFile());
    QCOMPARE(onDisk.size(), std::size_t{4 * 185});
    QCOMPARE(onDisk.substr(2 * 185, 185), bytes.substr(2 * 185, 100) + std::string(85, ' '));
}

void ClientFileTest::clearedClientIsSavedAsBlanks() {
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("ANN", std::string(109, '2')));
    const FileSystem files;
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    LoadClients(session);
    ClearClient(session);
    QCOMPARE(session.ClientTable[1], ClientRecord());
    QCOMPARE(TestFolder::read(folder.clientFile()).substr(0, 3), std::string("ANN"));
    SaveClient(session, 1);
    QCOMPARE(TestFolder::read(folder.clientFile()), std::string(185, ' '));
}

void ClientFileTest::failedWritesReachTheCaller_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("number");
    QTest::newRow("read-only location") << int(FileOp::Open) << EROFS << 70;
    QTest::newRow("device error on write") << int(FileOp::Write) << EIO << 57;
    QTest::newRow("disk full") << int(FileOp::Write) << ENOSPC << 61;
    QTest::newRow("flush fails") << int(FileOp::Sync) << EIO << 57;
    QTest::newRow("medium removed") << int(FileOp::Open) << ENOMEDIUM << 71;
}

void ClientFileTest::failedWritesReachTheCaller() {
    QFETCH(int, op);
    QFETCH(int, err);
    QFETCH(int, number);
    TestFolder folder;
    const std::string original = test::RecordBytes("ORIGINAL");
    TestFolder::write(folder.clientFile(), original);
    const FileSystem files(test::FailOn(FileOp(op), "DATA401.QLM", err));
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    session.NumberOfClients = 1;
    session.ClientTable[1].set(&ClientRecord::Name, "CHANGED");
    try {
        SaveClient(session, 1);
        QFAIL("the failed write was reported as done");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), number);
    }
    if (op == int(FileOp::Open)) {
        QCOMPARE(TestFolder::read(folder.clientFile()), original);
    }
}

void ClientFileTest::recordNumbersOutsideTheTableAreRefused() {
    TestFolder folder;
    const FileSystem files;
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    for (const int n : {0, 52, -1}) {
        QVERIFY_THROWS_EXCEPTION(FileError, SaveClient(session, n));
    }
    QVERIFY(!files.exists(folder.clientFile()));
}

QTEST_GUILESS_MAIN(ClientFileTest)
#include "ClientFileTest.moc"
