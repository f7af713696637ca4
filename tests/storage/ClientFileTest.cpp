#include <sys/stat.h>

#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "session/ClientList.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/ClientFile.h"
#include "storage/DataFileError.h"
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
    void saveClientAppendsOverwritesClearsAndFillsAShortRecord();
    void failedWritesReachTheCaller_data();
    void failedWritesReachTheCaller();
    void failedCloseGivesTheHandleBack();
    void aHugeFileIsRefusedByItsRealSize();
    void damagedRecordsAreNamedAndNeverScored_data();
    void damagedRecordsAreNamedAndNeverScored();
};

namespace {

// A session on a client file of 52 records named "CLIENT 1"... cut to `length` bytes (no file
// for length -1).
struct Fixture {
    explicit Fixture(int length, FaultInjector fault = {})
        : files(std::move(fault)), session(files, folder.program()) {
        for (int r = 1; r <= 52; ++r) {
            bytes += test::RecordBytes("CLIENT " + std::to_string(r), std::string(109, '1'));
        }
        bytes.resize(std::size_t(std::max(length, 0)));
        if (length >= 0) {
            TestFolder::write(folder.clientFile(), bytes);
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
    QTest::addColumn<int>("count");  // -1: refused
    QTest::newRow("missing: created empty") << -1 << 0;
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("three records") << 3 * 185 << 3;
    QTest::newRow("2.54 records round up") << 2 * 185 + 100 << 3;
    QTest::newRow("2.497 records round down") << 2 * 185 + 92 << 2;
    QTest::newRow("half a record is not one") << 92 << 0;
    QTest::newRow("51 records") << 51 * 185 << 51;
    QTest::newRow("52 records are refused") << 52 * 185 << -1;
}

void ClientFileTest::recordCountFollowsFileLength() {
    QFETCH(int, length);
    QFETCH(int, count);
    Fixture f(length);
    f.session.NumberOfClients = 2;  // from the location opened before
    if (count < 0) {                // nothing is loaded and nothing is written
        try {
            LoadClients(f.session);
            QFAIL("the file was loaded");
        } catch (const FileError& e) {
            QVERIFY(std::string(e.what()).find(f.folder.clientFile() + " holds 52 records") !=
                    std::string::npos);
        }
        QCOMPARE(int(f.session.NumberOfClients), 2);
        QCOMPARE(f.session.ClientTable[1], ClientRecord());
        QCOMPARE(f.onDisk(), f.bytes);
        return;
    }
    LoadClients(f.session);
    QCOMPARE(int(f.session.NumberOfClients), count);
    QCOMPARE(int(f.session.CurrentClient), count > 0 ? 1 : 0);
    for (int r = 1; r <= count; ++r) {
        QCOMPARE(Trim(f.session.ClientTable[std::size_t(r)].Name), "CLIENT " + std::to_string(r));
    }
    if (length == -1) {  // readable and writable by its owner only
        struct stat st {};
        QCOMPARE(::stat(f.folder.clientFile().c_str(), &st), 0);
        QCOMPARE(st.st_size, off_t{0});
        QCOMPARE(st.st_mode & 0777, mode_t{0600});
    }
}

void ClientFileTest::saveClientAppendsOverwritesClearsAndFillsAShortRecord() {
    Fixture f(3 * 185);
    LoadClients(f.session);
    f.session.ClientTable[4].set(&ClientRecord::Name, "NEW CLIENT");
    SaveClient(f.session, 4);
    f.session.ClientTable[2].set(&ClientRecord::Age, "14");
    SaveClient(f.session, 2);
    ClearClient(f.session);  // the current client, 1
    QCOMPARE(f.session.ClientTable[1], ClientRecord());
    std::string expected = f.bytes + f.session.ClientTable[4].toBytes();
    expected.replace(185 + 25, 2, "14");
    QCOMPARE(f.onDisk(), expected);
    SaveClient(f.session, 1);
    expected.replace(0, 185, std::string(185, ' '));
    for (const int n : {0, 52, -1}) {
        QVERIFY_THROWS_EXCEPTION(FileError, SaveClient(f.session, n));
    }
    QCOMPARE(f.onDisk(), expected);

    // A file ending inside record 3 reads it blank-padded; saving record 4 writes record 3
    // whole first, so no undefined bytes lie between them.
    TestFolder::write(f.folder.clientFile(), f.bytes.substr(0, 2 * 185 + 100));
    LoadClients(f.session);
    QCOMPARE(f.session.ClientTable[3].Answers, std::string(26, '1') + std::string(83, ' '));
    SaveClient(f.session, 4);
    QCOMPARE(f.onDisk(), f.bytes.substr(0, 2 * 185 + 100) + std::string(85, ' ') +
                             f.session.ClientTable[4].toBytes());
}

// Operating-system errors become the classes the screens act on; the missing and unusable
// folders (76) are the data location's tests.
void ClientFileTest::failedWritesReachTheCaller_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("unavailable");
    QTest::newRow("read-only location") << int(FileOp::Open) << EROFS << 70 << false;
    QTest::newRow("no permission") << int(FileOp::Open) << EACCES << 70 << false;
    QTest::newRow("device error on write") << int(FileOp::Write) << EIO << 57 << true;
    QTest::newRow("disk full") << int(FileOp::Write) << ENOSPC << 61 << false;
    QTest::newRow("flush fails") << int(FileOp::Sync) << EIO << 57 << true;
    QTest::newRow("rename fails") << int(FileOp::Rename) << EIO << 57 << true;
    QTest::newRow("medium removed") << int(FileOp::Open) << ENOMEDIUM << 71 << true;
    QTest::newRow("name too long") << int(FileOp::Open) << ENAMETOOLONG << 52 << true;
    QTest::newRow("file gone") << int(FileOp::Open) << ENOENT << 53 << true;
    QTest::newRow("anything else") << int(FileOp::Open) << EMFILE << 75 << false;
}

void ClientFileTest::failedWritesReachTheCaller() {
    QFETCH(int, op);
    QFETCH(int, err);
    QFETCH(int, number);
    QFETCH(bool, unavailable);
    Fixture f(185, test::FailOn(FileOp(op), "DATA401.QLM", err));
    f.session.NumberOfClients = 1;
    f.session.ClientTable[1].set(&ClientRecord::Name, "CHANGED");
    try {
        SaveClient(f.session, 1);
        QFAIL("the failed write was reported as done");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), number);
        QCOMPARE(e.locationUnavailable(), unavailable);
    }
    // Whatever step failed, the file is the one that was there before, not a torn mixture.
    QCOMPARE(f.onDisk(), f.bytes);
}

// A close that fails must still release the descriptor, or every failed save would leak one.
void ClientFileTest::failedCloseGivesTheHandleBack() {
    const auto openHandles = [] {
        const std::filesystem::directory_iterator fds("/proc/self/fd");
        return std::distance(begin(fds), end(fds));
    };
    Fixture f(185, test::FailOn(FileOp::Close, "DATA401.QLM", EIO));
    const auto before = openHandles();
    for (int i = 0; i < 3; ++i) {
        QVERIFY_THROWS_EXCEPTION(FileError, SaveClient(f.session, 1));
        QVERIFY_THROWS_EXCEPTION(FileError, LoadClients(f.session));
    }
    QCOMPARE(openHandles(), before);
}

void ClientFileTest::damagedRecordsAreNamedAndNeverScored_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("damage");  // empty: a sound record
    const std::string four = test::RecordBytes("A") + test::RecordBytes("B") +
                             test::RecordBytes("C") + test::RecordBytes("D");
    std::string random;
    for (int i = 0; i < 100; ++i) {
        random += static_cast<char>((i * 37 + 11) % 256);
    }
    std::string tab = test::RecordBytes("E");
    tab[31] = '\t';
    std::string unknownSex = test::RecordBytes("F");
    unknownSex[27] = '9';
    const auto row = [](const char* name, const std::string& bytes, int record,
                        const char* damage) {
        QTest::newRow(name) << QByteArray(bytes.data(), qsizetype(bytes.size())) << record
                            << QString::fromLatin1(damage);
    };
    row("cut inside the last record", four + test::RecordBytes("E").substr(0, 135), 5,
        "it ends after 135 of its 185 bytes");
    row("the records before it are sound", four + test::RecordBytes("E").substr(0, 135), 4, "");
    row("100 random bytes", random, 1, "it ends after 100 of its 185 bytes");
    row("NUL in the name", test::RecordBytes(std::string("AB\0C", 4)), 1,
        "its Name field holds a control character (0x00)");
    row("tab in the date of birth", tab, 1,
        "its DateOfBirth field holds a control character (0x09)");
    row("answer out of range", test::RecordBytes("G", "1 57"), 1, "the answer to item 4 is \"7\"");
    row("unknown sex code reads as N/A", unknownSex, 1, "");
}

// A damaged record is named with what is wrong, refused by scoring, and the file is left as
// it was.
void ClientFileTest::damagedRecordsAreNamedAndNeverScored() {
    QFETCH(QByteArray, file);
    QFETCH(int, record);
    QFETCH(QString, damage);
    test::TestFolder folder;
    const std::string bytes = file.toStdString();
    test::TestFolder::write(folder.clientFile(), bytes);
    const FileSystem files;
    Session session(files, folder.program());
    session.ClientFileName = folder.clientFile();
    LoadClients(session);
    QCOMPARE(QString::fromStdString(session.Damage[std::size_t(record)]), damage);
    session.CurrentClient = static_cast<std::int16_t>(record);
    if (!damage.isEmpty()) {
        try {
            ScoreCurrentClient(session);
            QFAIL("a damaged record was scored");
        } catch (const DataFileError& e) {
            QVERIFY2(QString(e.what()).contains("record " + QString::number(record) +
                                                " is damaged: " + damage),
                     e.what());
        }
        QVERIFY(QString::fromStdString(MarkedClientListItem(session, record))
                    .endsWith("  (damaged record: " + damage + ")"));
    }
    QCOMPARE(test::TestFolder::read(folder.clientFile()), bytes);
}

// A foreign file of 100 MB is refused before it is read, naming its real size.
void ClientFileTest::aHugeFileIsRefusedByItsRealSize() {
    Fixture f(0);
    std::filesystem::resize_file(f.folder.clientFile(), 100 * 1024 * 1024);
    try {
        LoadClients(f.session);
        QFAIL("the file was loaded");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), 63);
        QVERIFY2(std::string(e.what()).find(" holds 566798 records (104857600 bytes); at most 51 "
                                            "can be used") != std::string::npos,
                 e.what());
    }
}

QTEST_GUILESS_MAIN(ClientFileTest)
#include "ClientFileTest.moc"
