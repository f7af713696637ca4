#include <QtTest>
#include <cerrno>
#include <filesystem>

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
    void checkTakesInOnlyWhatAnotherProgramDid_data();
    void checkTakesInOnlyWhatAnotherProgramDid();
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
    QCOMPARE(session.Clients.fileName(), folder.data() + "/DATA401.QLM");
    QVERIFY(files.exists(session.Clients.fileName()));
    QCOMPARE(int(session.Clients.NumberOfClients()), clients);
    QCOMPARE(int(session.CurrentClient), clients > 0 ? 1 : 0);
    if (clients > 0) {
        QCOMPARE(session.Clients.entry(2).Name.substr(0, 3), std::string("TWO"));
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
    QCOMPARE(session.Clients.NumberOfClients(), std::int16_t(2));
    QVERIFY(!std::filesystem::exists(folder.data() + "/" + WriteTestFileName));
    try {
        session.Clients.SaveClient(1);
        QFAIL("a location opened for reading was written");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), 70);
    }

    const std::string empty = folder.root() + "/empty";
    std::filesystem::create_directory(empty);
    const FileSystem files;
    Session fresh(files, folder.program());
    QVERIFY(OpenDataLocation(fresh, empty, LocationUse::ReadOnly));
    QCOMPARE(fresh.Clients.NumberOfClients(), std::int16_t(0));
    QVERIFY(std::filesystem::is_empty(empty));
    try {
        OpenDataLocation(fresh, folder.root() + "/missing", LocationUse::ReadOnly);
        QFAIL("a missing folder was opened");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), 76);
    }
    QCOMPARE(fresh.DataPath, empty);
}

void DataLocationTest::checkTakesInOnlyWhatAnotherProgramDid_data() {
    QTest::addColumn<QByteArray>("file");  // what another program left; "-": no file at all
    QTest::addColumn<int>("count");        // the clients after the check; -1: refused
    const std::string three = RecordBytes("1") + RecordBytes("2") + RecordBytes("3");
    std::string edited = three;  // the name edited on the client information screen
    edited.replace(185, 3, "TWO");
    edited[185 + 183] = '1';
    std::string deleted = three;  // the name deleted by Delete Names
    deleted.replace(185, 1, "9");
    deleted[185 + 184] = '1';
    const auto row = [](const char* name, const std::string& file, int count) {
        QTest::newRow(name) << QByteArray::fromStdString(file) << count;
    };
    row("unchanged", three, 3);
    row("a client added", three + RecordBytes("4"), 4);
    row("a name edited", edited, 3);
    row("a name deleted", deleted, 3);
    row("another disk", RecordBytes("1") + RecordBytes("X") + RecordBytes("3"), -1);
    row("fewer clients", three.substr(0, 2 * 185), -1);
    row("removed", "-", -1);
}

void DataLocationTest::checkTakesInOnlyWhatAnotherProgramDid() {
    QFETCH(QByteArray, file);
    QFETCH(int, count);
    TestFolder folder;
    const std::string three = RecordBytes("1") + RecordBytes("2") + RecordBytes("3");
    TestFolder::write(folder.clientFile(), three);
    const FileSystem files;
    Session session(files, folder.program());
    OpenDataLocation(session, folder.data());
    if (file == "-") {
        QVERIFY(QFile::remove(QString::fromStdString(folder.clientFile())));
    } else {
        TestFolder::write(folder.clientFile(), file.toStdString());
    }
    QStringList shown;
    const auto changed = [&] { shown << "changed"; };
    const auto notFound = [&] { shown << "notFound"; };
    QCOMPARE(CheckDataLocation(session, changed, notFound), count >= 0);
    if (count >= 0) {
        QVERIFY(shown.isEmpty());
        QCOMPARE(int(session.Clients.NumberOfClients()), count);
        for (int r = 1; r <= count; ++r) {
            QCOMPARE(session.Clients.entry(r).toBytes(),
                     file.toStdString().substr(std::size_t(r - 1) * 185, 185));
        }
        return;
    }
    QCOMPARE(shown, QStringList({"changed", "notFound"}));
    QCOMPARE(int(session.Clients.NumberOfClients()), 3);
    // Putting the original back while the first message is up makes it pass.
    shown.clear();
    const auto putBack = [&] {
        changed();
        TestFolder::write(folder.clientFile(), three);
    };
    QVERIFY(CheckDataLocation(session, putBack, notFound));
    QCOMPARE(shown, QStringList({"changed"}));
}

QTEST_GUILESS_MAIN(DataLocationTest)
#include "DataLocationTest.moc"
