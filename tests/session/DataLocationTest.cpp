#include <QtTest>
#include <filesystem>
#include <cerrno>

#include "session/DataLocation.h"
#include "session/Session.h"
#include "storage/FileError.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::RecordBytes;
using qlm::test::TestFolder;

class DataLocationTest : public QObject {
    Q_OBJECT

private slots:
    void openingLoadsTheClients_data();
    void openingLoadsTheClients();
    void unusableLocationsRaiseTheirClass_data();
    void unusableLocationsRaiseTheirClass();
    void readingOnlyWritesNothing();
    void checkNoticesAChangedRecordCount();
};

void DataLocationTest::openingLoadsTheClients_data() {
    QTest::addColumn<int>("clients");
    QTest::newRow("no client file: created empty") << 0;
    QTest::newRow("two clients, trailing slash") << 2;
}

void DataLocationTest::openingLoadsTheClients() {
    QFETCH(int, clients);
    TestFolder folder;
    if (clients > 0) {
        TestFolder::write(folder.clientFile(), RecordBytes("ONE") + RecordBytes("TWO"));
    }
    // A scratch file left by an interrupted earlier run is replaced and removed.
    TestFolder::write(folder.data() + "/checkWriteTest", "old");
    const FileSystem files;
    Session session(files, folder.program());
    QVERIFY(OpenDataLocation(session, folder.data() + (clients > 0 ? "/" : "")));
    QCOMPARE(session.ClientFileName, folder.data() + "/DATA401.QLM");
    QVERIFY(files.exists(session.ClientFileName));
    QCOMPARE(int(session.NumberOfClients), clients);
    QCOMPARE(int(session.CurrentClient), clients > 0 ? 1 : 0);
    if (clients > 0) {
        QCOMPARE(session.ClientTable[2].Name.substr(0, 3), std::string("TWO"));
    }
    QVERIFY(!files.exists(folder.data() + "/checkWriteTest"));
}

void DataLocationTest::unusableLocationsRaiseTheirClass_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("number");
    QTest::newRow("missing folder") << "missing" << -1 << 0 << 76;
    QTest::newRow("a file where the folder should be") << "file" << -1 << 0 << 76;
    QTest::newRow("drive designation") << "a:" << -1 << 0 << 76;
    QTest::newRow("read-only: client file") << "data" << int(FileOp::Open) << EACCES << 70;
    QTest::newRow("read-only: write test") << "data" << int(FileOp::Write) << EROFS << 70;
    QTest::newRow("not ready") << "data" << int(FileOp::Open) << ENOMEDIUM << 71;
    QTest::newRow("device error") << "data" << int(FileOp::Read) << EIO << 57;
}

void DataLocationTest::unusableLocationsRaiseTheirClass() {
    QFETCH(QString, where);
    QFETCH(int, op);
    QFETCH(int, err);
    QFETCH(int, number);
    TestFolder folder;
    TestFolder::write(folder.root() + "/file", "x");
    const std::string path = where == "data" ? folder.data()
                             : where == "a:" ? "a:"
                                             : folder.root() + "/" + where.toStdString();
    const FileSystem files(op < 0 ? FaultInjector{} : test::FailOn(FileOp(op), folder.data(), err));
    Session session(files, folder.program());
    try {
        OpenDataLocation(session, path);
        QFAIL("an unusable location was opened");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), number);
    }
    QCOMPARE(session.DataPath, std::string());
}

// A location only read is neither written nor created in: a write-protected one lists its
// clients, an empty folder stays empty.
void DataLocationTest::readingOnlyWritesNothing() {
    TestFolder folder;
    TestFolder::write(folder.clientFile(), RecordBytes("1") + RecordBytes("2"));
    const FileSystem protectedDisk(test::FailOn(FileOp::Write, folder.data(), EROFS));
    Session session(protectedDisk, folder.program());
    QVERIFY(OpenDataLocation(session, folder.data(), LocationUse::ReadOnly));
    QCOMPARE(session.NumberOfClients, std::int16_t(2));
    QVERIFY(!std::filesystem::exists(folder.data() + "/" + WriteTestFileName));

    const std::string empty = folder.root() + "/empty";
    std::filesystem::create_directory(empty);
    const FileSystem files;
    Session fresh(files, folder.program());
    QVERIFY(OpenDataLocation(fresh, empty, LocationUse::ReadOnly));
    QCOMPARE(fresh.NumberOfClients, std::int16_t(0));
    QVERIFY(std::filesystem::is_empty(empty));
    try {
        OpenDataLocation(fresh, folder.root() + "/missing", LocationUse::ReadOnly);
        QFAIL("a missing folder was opened");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), 76);
    }
    QCOMPARE(fresh.DataPath, empty);
}

void DataLocationTest::checkNoticesAChangedRecordCount() {
    TestFolder folder;
    const std::string three = RecordBytes("1") + RecordBytes("2") + RecordBytes("3");
    TestFolder::write(folder.clientFile(), three);
    const FileSystem files;
    Session session(files, folder.program());
    OpenDataLocation(session, folder.data());
    QStringList shown;
    const auto changed = [&] { shown << "changed"; };
    const auto notFound = [&] { shown << "notFound"; };
    QVERIFY(CheckDataLocation(session, changed, notFound));
    QVERIFY(shown.isEmpty());

    // A location of 4 records: both messages, then false.
    TestFolder::write(folder.clientFile(), three + RecordBytes("4"));
    QVERIFY(!CheckDataLocation(session, changed, notFound));
    QCOMPARE(shown, QStringList({"changed", "notFound"}));

    // Putting the original back while the first message is up makes it pass.
    shown.clear();
    const auto putBack = [&] {
        changed();
        TestFolder::write(folder.clientFile(), three);
    };
    QVERIFY(CheckDataLocation(session, putBack, notFound));
    QCOMPARE(shown, QStringList({"changed"}));

    // A removed disk measures as no records rather than failing.
    shown.clear();
    QVERIFY(QFile::remove(QString::fromStdString(folder.clientFile())));
    QVERIFY(!CheckDataLocation(session, changed, notFound));
    QCOMPARE(shown, QStringList({"changed", "notFound"}));
}

QTEST_GUILESS_MAIN(DataLocationTest)
#include "DataLocationTest.moc"
