#include <sys/stat.h>

#include <QtTest>
#include <cerrno>

#include "app/Session.h"
#include "storage/ClientFile.h"
#include "storage/FileError.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

// The client file: record layout, counts from the file length, saving, and file errors.
class ClientFileTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsStandAtTheirOffsets();
    void recordCountFollowsFileLength_data();
    void recordCountFollowsFileLength();
    void tooManyRecordsAreRefusedAndNothingIsLoaded();
    void saveClientAppendsOverwritesAndFillsAShortRecord();
    void clearedClientIsSavedAsBlanks();
    void failedWritesReachTheCaller_data();
    void failedWritesReachTheCaller();
    void errnoMapsOntoClasses_data();
    void errnoMapsOntoClasses();
};

namespace {

constexpr int Whole = 52 * 185;

// A session on a client file of `records` records named "CLIENT 1"... cut to `length` bytes
// (no file for length -1).
struct Fixture {
    explicit Fixture(int records, int length = Whole, FaultInjector fault = {})
        : files(std::move(fault)), session(files, folder.program()) {
        for (int r = 1; r <= records; ++r) {
            bytes += test::RecordBytes("CLIENT " + std::to_string(r), std::string(109, '1'));
        }
        if (length != -1) {
            TestFolder::write(folder.clientFile(), bytes.substr(0, std::size_t(length)));
        }
        session.ClientFileName = folder.clientFile();
    }
    std::string onDisk() const { return TestFolder::read(folder.clientFile()); }

    TestFolder folder;
    std::string bytes;
    FileSystem files;
    Session session;
};

}  // namespace

void ClientFileTest::fieldsStandAtTheirOffsets() {
    // A record typed out by hand: Name 0, Age 25, Sex 27, Race 28, Education 29, DateOfBirth 31,
    // MaritalStatus 41, DateScored 42, court counts 52 to 73.
    std::string bytes = "RIVERS, DANA (DEMO)      1523 904/01/2011012/06/2026";
    bytes += "13 2 1-1 4 5 6 7 8 910";
    bytes += std::string(108, '1') + "2";  // Answers 74..182
    bytes += "31";                         // EditCount 183, NameDeleted 184

    const ClientRecord r = ClientRecord::fromBytes(bytes);
    QCOMPARE(r.Name + r.Age + r.Sex + r.Race + "|" + r.Education + r.DateOfBirth + r.MaritalStatus,
             std::string("RIVERS, DANA (DEMO)      1523| 904/01/20110"));
    QCOMPARE(r.DateScored, std::string("12/06/2026"));
    QCOMPARE(r.AgeAtFirstArrest + r.ArrestCount + r.courtCount(11), std::string("13-110"));
    QCOMPARE(r.Answers, std::string(108, '1') + "2");
    QCOMPARE(r.EditCount + r.NameDeleted, std::string("31"));
    QCOMPARE(r.toBytes(), bytes);

    ClientRecord typed;
    typed.set(&ClientRecord::Name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    QCOMPARE(typed.Name, std::string("ABCDEFGHIJKLMNOPQRSTUVWXY"));
    typed.set(&ClientRecord::Name, "ANN");
    QCOMPARE(typed.toBytes(), "ANN" + std::string(182, ' '));
}

void ClientFileTest::recordCountFollowsFileLength_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("count");
    QTest::newRow("missing: created empty") << -1 << 0;
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("three records") << 3 * 185 << 3;
    QTest::newRow("2.54 records round up") << 2 * 185 + 100 << 3;
    QTest::newRow("2.497 records round down") << 2 * 185 + 92 << 2;
    QTest::newRow("half a record is not one") << 92 << 0;
}

void ClientFileTest::recordCountFollowsFileLength() {
    QFETCH(int, length);
    QFETCH(int, count);
    Fixture f(3, length);
    LoadClients(f.session);
    QCOMPARE(int(f.session.NumberOfClients), count);
    QCOMPARE(int(f.session.CurrentClient), count > 0 ? 1 : 0);
    for (int r = 1; r <= count; ++r) {
        QCOMPARE(Trim(f.session.ClientTable[std::size_t(r)].Name), "CLIENT " + std::to_string(r));
    }
    if (length == 2 * 185 + 100) {
        // The short third record keeps its first 100 bytes and is blank beyond them.
        QCOMPARE(f.session.ClientTable[3].Answers, std::string(26, '1') + std::string(83, ' '));
    }
    if (length == -1) {  // readable and writable by its owner only
        struct stat st {};
        QCOMPARE(::stat(f.folder.clientFile().c_str(), &st), 0);
        QCOMPARE(st.st_size, off_t{0});
        QCOMPARE(st.st_mode & 0777, mode_t{0600});
    }
}

void ClientFileTest::tooManyRecordsAreRefusedAndNothingIsLoaded() {
    Fixture f(52);
    f.session.NumberOfClients = 2;
    f.session.ClientTable[1].set(&ClientRecord::Name, "KEPT");
    try {
        LoadClients(f.session);
        QFAIL("a file of 52 records was loaded");
    } catch (const FileError& e) {
        QVERIFY(std::string(e.what()).find("52 records") != std::string::npos);
        QVERIFY(std::string(e.what()).find(f.folder.clientFile()) != std::string::npos);
    }
    QCOMPARE(int(f.session.NumberOfClients), 2);
    QCOMPARE(Trim(f.session.ClientTable[1].Name), std::string("KEPT"));
    QCOMPARE(f.onDisk(), f.bytes);
}

void ClientFileTest::saveClientAppendsOverwritesAndFillsAShortRecord() {
    Fixture f(3);
    LoadClients(f.session);
    f.session.ClientTable[4].set(&ClientRecord::Name, "NEW CLIENT");
    SaveClient(f.session, 4);
    f.session.ClientTable[2].set(&ClientRecord::Age, "14");
    SaveClient(f.session, 2);
    std::string expected = f.bytes + f.session.ClientTable[4].toBytes();
    expected.replace(185 + 25, 2, "14");
    QCOMPARE(f.onDisk(), expected);
    for (const int n : {0, 52, -1}) {
        QVERIFY_THROWS_EXCEPTION(FileError, SaveClient(f.session, n));
    }
    QCOMPARE(f.onDisk(), expected);

    // A file ending inside record 3: saving record 4 writes record 3 whole first, so no
    // undefined bytes lie between them.
    TestFolder::write(f.folder.clientFile(), f.bytes.substr(0, 2 * 185 + 100));
    LoadClients(f.session);
    SaveClient(f.session, 4);
    QCOMPARE(f.onDisk(), f.bytes.substr(0, 2 * 185 + 100) + std::string(85, ' ') +
                             f.session.ClientTable[4].toBytes());
}

void ClientFileTest::clearedClientIsSavedAsBlanks() {
    Fixture f(1);
    LoadClients(f.session);
    ClearClient(f.session);
    QCOMPARE(f.session.ClientTable[1], ClientRecord());
    QCOMPARE(f.onDisk(), f.bytes);
    SaveClient(f.session, 1);
    QCOMPARE(f.onDisk(), std::string(185, ' '));
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
    Fixture f(1, Whole, test::FailOn(FileOp(op), "DATA401.QLM", err));
    f.session.NumberOfClients = 1;
    f.session.ClientTable[1].set(&ClientRecord::Name, "CHANGED");
    try {
        SaveClient(f.session, 1);
        QFAIL("the failed write was reported as done");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), number);
    }
    if (op == int(FileOp::Open)) {
        QCOMPARE(f.onDisk(), f.bytes);
    }
}

// Operating-system errors become the classes the screens act on.
void ClientFileTest::errnoMapsOntoClasses_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<bool>("parentExists");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("unavailable");
    QTest::newRow("name too long") << ENAMETOOLONG << true << 52 << true;
    QTest::newRow("file missing") << ENOENT << true << 53 << true;
    QTest::newRow("folder missing") << ENOENT << false << 76 << true;
    QTest::newRow("file where a folder should be") << ENOTDIR << true << 76 << true;
    QTest::newRow("device error") << EIO << true << 57 << true;
    QTest::newRow("permission") << EACCES << true << 70 << false;
    QTest::newRow("read-only file system") << EROFS << true << 70 << false;
    QTest::newRow("no medium") << ENOMEDIUM << true << 71 << true;
    QTest::newRow("disk full") << ENOSPC << true << 61 << false;
    QTest::newRow("anything else") << EMFILE << true << 75 << false;
}

void ClientFileTest::errnoMapsOntoClasses() {
    QFETCH(int, err);
    QFETCH(bool, parentExists);
    QFETCH(int, number);
    QFETCH(bool, unavailable);
    TestFolder folder;
    const FileError e =
        FileError::fromErrno(err, folder.data() + (parentExists ? "" : "/gone") + "/DATA401.QLM");
    QCOMPARE(e.number(), number);
    QCOMPARE(e.locationUnavailable(), unavailable);
}

QTEST_GUILESS_MAIN(ClientFileTest)
#include "ClientFileTest.moc"
