#include <sys/stat.h>

#include <QtTest>
#include <cerrno>
#include <unistd.h>

#include "app/DataLocation.h"
#include "app/Session.h"
#include "storage/FileError.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

class DataLocationTest : public QObject {
    Q_OBJECT

private slots:
    void folderWithoutClientFileIsAcceptedEmpty();
    void openingLoadsTheClients();
    void unusableLocationsRaiseTheirClass_data();
    void unusableLocationsRaiseTheirClass();
    void failedOpeningKeepsThePreviousLocation();
    void realReadOnlyFolderIsRefused();
    void checkNoticesAChangedRecordCount();
};

void DataLocationTest::folderWithoutClientFileIsAcceptedEmpty() {
    TestFolder folder;
    const FileSystem files;
    Session session(files, folder.program());
    QVERIFY(OpenDataLocation(session, folder.data()));
    QCOMPARE(session.DataPath, folder.data());
    QCOMPARE(session.ClientFileName, folder.data() + "/DATA401.QLM");
    QCOMPARE(int(session.NumberOfClients), 0);
    QVERIFY(files.exists(session.ClientFileName));
    QVERIFY(!files.exists(folder.data() + "/checkWriteTest"));
}

void DataLocationTest::openingLoadsTheClients() {
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("ONE") + test::RecordBytes("TWO"));
    // A scratch file left by an interrupted earlier run is replaced and removed.
    TestFolder::write(folder.data() + "/checkWriteTest", "old");
    const FileSystem files;
    Session session(files, folder.program());
    QVERIFY(OpenDataLocation(session, folder.data() + "/"));
    QCOMPARE(session.ClientFileName, folder.data() + "/DATA401.QLM");
    QCOMPARE(int(session.NumberOfClients), 2);
    QCOMPARE(int(session.CurrentClient), 1);
    QCOMPARE(session.ClientTable[2].Name.substr(0, 3), std::string("TWO"));
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
    std::string path = folder.data();
    if (where == "missing") {
        path = folder.root() + "/missing";
    } else if (where == "file") {
        TestFolder::write(folder.root() + "/plain", "x");
        path = folder.root() + "/plain";
    } else if (where == "a:") {
        path = "a:";
    }
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

void DataLocationTest::failedOpeningKeepsThePreviousLocation() {
    TestFolder first;
    TestFolder second;
    TestFolder::write(first.clientFile(), test::RecordBytes("FIRST"));
    TestFolder::write(second.clientFile(), test::RecordBytes("A") + test::RecordBytes("B"));
    const FileSystem files(test::FailOn(FileOp::Write, second.data() + "/checkWriteTest", EROFS));
    Session session(files, first.program());
    OpenDataLocation(session, first.data());
    QVERIFY_THROWS_EXCEPTION(FileError, OpenDataLocation(session, second.data()));
    QCOMPARE(session.DataPath, first.data());
    QCOMPARE(session.ClientFileName, first.clientFile());
    QCOMPARE(int(session.NumberOfClients), 1);
    QCOMPARE(session.ClientTable[1].Name.substr(0, 5), std::string("FIRST"));
}

void DataLocationTest::realReadOnlyFolderIsRefused() {
    if (::geteuid() == 0) {
        QSKIP("permission bits do not bind root; the injected faults above cover this");
    }
    TestFolder folder;
    ::chmod(folder.data().c_str(), 0555);
    const FileSystem files;
    Session session(files, folder.program());
    try {
        OpenDataLocation(session, folder.data());
        QFAIL("a read-only folder was accepted");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), 70);
    }
    ::chmod(folder.data().c_str(), 0755);
}

void DataLocationTest::checkNoticesAChangedRecordCount() {
    TestFolder folder;
    const std::string three = test::RecordBytes("1") + test::RecordBytes("2") + test::RecordBytes("3");
    TestFolder::write(folder.clientFile(), three);
    const FileSystem files;
    Session session(files, folder.program());
    OpenDataLocation(session, folder.data());

    QStringList shown;
    const auto changed = [&] { shown << "changed"; };
    const auto notFound = [&] { shown << "notFound"; };
    QVERIFY(CheckDataLocation(session, changed, notFound));
    QVERIFY(shown.isEmpty());

    // The location was exchanged for one of 4 records: both messages, then false.
    session.NumberOfClients = 4;
    QVERIFY(!CheckDataLocation(session, changed, notFound));
    QCOMPARE(shown, QStringList({"changed", "notFound"}));

    // Putting the original back while the first message is up makes it pass.
    shown.clear();
    session.NumberOfClients = 3;
    TestFolder::write(folder.clientFile(), three + test::RecordBytes("4"));
    const auto putBack = [&] {
        shown << "changed";
        TestFolder::write(folder.clientFile(), three);
    };
    QVERIFY(CheckDataLocation(session, putBack, notFound));
    QCOMPARE(shown, QStringList({"changed"}));

    // 2 x 185 + 92 bytes count as 2 records; an unreadable file as 0.
    TestFolder::write(folder.clientFile(), three.substr(0, 2 * 185 + 92));
    QCOMPARE(int(MeasureClientFile(session)), 2);
    ::unlink(folder.clientFile().c_str());
    QCOMPARE(int(MeasureClientFile(session)), 0);
}

QTEST_GUILESS_MAIN(DataLocationTest)
#include "DataLocationTest.moc"
