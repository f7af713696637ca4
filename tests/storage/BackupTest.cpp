#include <sys/stat.h>

#include <QtTest>
#include <cerrno>
#include <filesystem>

#include "session/Operations.h"
#include "session/Session.h"
#include "storage/Backup.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;
using Clock = std::chrono::system_clock;

namespace {

std::string twoClients() {
    return test::RecordBytes("ONE, ANN", "12") + test::RecordBytes("TWO, BEN", "34");
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// One run of a program: a session on the test's data location that saves client 1 `saves`
// times.
void run(const TestFolder& folder, const FileSystem& files, int saves) {
    Session session(files, folder.program());
    session.DataPath = folder.data();
    LoadClients(session, folder.clientFile());
    for (int i = 0; i < saves; ++i) {
        session.Clients.entry(1).set(&ClientRecord::Age, std::to_string(11 + i));
        SaveClient(session, 1);
    }
}

}  // namespace

// The copies of the client file kept in the data location's backup folder.
class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void namesSortAsTheirMoments() {
        const auto when = Clock::from_time_t(1796651725) + std::chrono::milliseconds(7);
        QCOMPARE(BackupName(when), std::string("DATA401-20261207-135525-007.QLM"));
        QVERIFY(IsBackupName(BackupName(when)));
        for (const char* other : {"DATA401.QLM", "DATA401-20261207-151525-007.QLM.new",
                                  "DATA401-2026120x-151525-007.QLM", "notes.txt"}) {
            QVERIFY2(!IsBackupName(other), other);
        }
    }

    void oneBackupPerRunAndTheNewestTenKept() {
        TestFolder folder;
        const FileSystem files;
        const std::string copies = folder.data() + "/backup";
        TestFolder::write(folder.clientFile(), twoClients());
        run(folder, files, 3);
        auto backups = ListBackups(files, copies);
        QCOMPARE(backups.size(), std::size_t(1));
        // The copy holds the file as it was before the run's first write.
        QCOMPARE(TestFolder::read(copies + "/" + backups[0]), twoClients());
        QCOMPARE(modeOf(copies + "/" + backups[0]), mode_t{0600});
        QCOMPARE(modeOf(copies), mode_t{0700});

        TestFolder::write(copies + "/notes.txt", "kept");
        for (int r = 2; r <= 11; ++r) {
            run(folder, files, 1);
        }
        backups = ListBackups(files, copies);
        QCOMPARE(backups.size(), BackupsKept);
        QVERIFY(std::is_sorted(backups.rbegin(), backups.rend()));
        // The oldest went: the newest ten are the files before runs 2 to 11, ages 11 each time.
        QCOMPARE(TestFolder::read(copies + "/" + backups.back()).substr(25, 2), std::string("13"));
        QCOMPARE(TestFolder::read(copies + "/notes.txt"), std::string("kept"));

        // A location without a client file, or with an empty one, has nothing to back up.
        TestFolder empty;
        for (int created = 0; created < 2; ++created) {
            QCOMPARE(MakeBackup(files, empty.clientFile(), BackupFolderFor(empty.clientFile()),
                                Clock::now()),
                     std::string());
            QVERIFY(!files.exists(empty.data() + "/backup"));
            TestFolder::write(empty.clientFile(), "");
        }
    }

    void aFailedBackupStopsTheWrite_data() {
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("number");
        QTest::newRow("copy not written") << int(FileOp::Write) << "/backup/" << EIO << 57;
        QTest::newRow("disk full") << int(FileOp::Write) << "/backup/" << ENOSPC << 61;
        QTest::newRow("copy not flushed") << int(FileOp::Sync) << "/backup/" << EIO << 57;
        QTest::newRow("no folder") << int(FileOp::MakeFolder) << "/backup" << EACCES << 70;
    }
    void aFailedBackupStopsTheWrite() {
        QFETCH(int, op);
        QFETCH(QString, path);
        QFETCH(int, err);
        QFETCH(int, number);
        TestFolder folder;
        TestFolder::write(folder.clientFile(), twoClients());
        const FileSystem files(test::FailOn(FileOp(op), path.toStdString(), err));
        try {
            run(folder, files, 1);
            QFAIL("the write went on without its backup");
        } catch (const FileError& e) {
            QCOMPARE(e.number(), number);
            QVERIFY(e.description().find("backup copy") != std::string::npos);
        }
        QCOMPARE(TestFolder::read(folder.clientFile()), twoClients());
        QVERIFY(ListBackups(FileSystem(), folder.data() + "/backup").empty());
    }

    void restoreTakesOnlyAWholeClientFile_data() {
        QTest::addColumn<QByteArray>("copy");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("refusal");  // empty: restored
        const QByteArray whole = QByteArray::fromStdString(test::RecordBytes("OLD, OLGA"));
        const QString name = "DATA401-20261201-090000-000.QLM";
        QTest::newRow("whole") << whole << name << "";
        QTest::newRow("no clients") << QByteArray() << name << "";
        QTest::newRow("truncated") << whole.left(184) << name
                                   << "not a whole client file: its length of 184 bytes is not a "
                                      "whole number of 185-byte records";
        QTest::newRow("too many records") << whole.repeated(52) << name
                                          << "not a whole client file: it holds 52 records; a "
                                             "client file holds at most 51";
        QTest::newRow("not a backup's name") << whole << "../data/DATA401.QLM"
                                             << "there is no backup of that name";
        QTest::newRow("no such backup") << whole << "DATA401-20261202-090000-000.QLM"
                                        << "there is no backup of that name";
    }
    void restoreTakesOnlyAWholeClientFile() {
        QFETCH(QByteArray, copy);
        QFETCH(QString, name);
        QFETCH(QString, refusal);
        TestFolder folder;
        const FileSystem files;
        const std::string backups = folder.data() + "/backup";
        TestFolder::write(folder.clientFile(), twoClients());
        std::filesystem::create_directory(backups);
        TestFolder::write(backups + "/DATA401-20261201-090000-000.QLM", copy.toStdString());
        try {
            const std::string current = RestoreBackup(files, folder.clientFile(), backups,
                                                      name.toStdString(), Clock::now());
            QVERIFY2(refusal.isEmpty(), "restored");
            QCOMPARE(TestFolder::read(folder.clientFile()), copy.toStdString());
            QCOMPARE(TestFolder::read(backups + "/" + current), twoClients());
        } catch (const DataFileError& e) {
            QVERIFY2(!refusal.isEmpty(), e.what());
            QVERIFY2(std::string(e.what()).ends_with(refusal.toStdString()), e.what());
            QCOMPARE(TestFolder::read(folder.clientFile()), twoClients());
            QCOMPARE(ListBackups(files, backups).size(), std::size_t(1));
        }
    }
};

QTEST_GUILESS_MAIN(BackupTest)
#include "BackupTest.moc"
