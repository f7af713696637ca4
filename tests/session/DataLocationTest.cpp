#include <QtTest>
#include <cerrno>
#include <functional>
#include <optional>

#include "session/DataLocation.h"
#include "session/DriveSelect.h"
#include "session/Session.h"
#include "session/Settings.h"
#include "storage/FileError.h"
#include "support/FakeMessages.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::RecordBytes;
using qlm::test::TestFolder;

namespace {

// Runs `open`, which must fail with the error class `number`.
void expectFileError(const std::function<void()>& open, int number) {
    try {
        open();
        QFAIL("an unusable location was opened");
    } catch (const FileError& e) {
        QCOMPARE(e.number(), number);
    }
}

}  // namespace

// Opening a data location (an empty one is the client file's test), checking that it still
// holds the clients, and choosing another.
class DataLocationTest : public QObject {
    Q_OBJECT

private slots:
    void unusableLocationsRaiseTheirClass_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("number");
        QTest::newRow("missing folder") << "missing" << -1 << 0 << 76;
        QTest::newRow("a file where the folder should be") << "file" << -1 << 0 << 76;
        QTest::newRow("drive designation") << "a:" << -1 << 0 << 76;
        QTest::newRow("read-only: write test") << "data" << int(FileOp::Write) << EROFS << 70;
        QTest::newRow("device error") << "data" << int(FileOp::Read) << EIO << 57;
    }
    void unusableLocationsRaiseTheirClass() {
        QFETCH(QString, where);
        QFETCH(int, op);
        QFETCH(int, err);
        QFETCH(int, number);
        TestFolder folder;
        TestFolder::write(folder.root() + "/file", "x");
        const std::string path = where == "data" ? folder.data()
                                 : where == "a:" ? "a:"
                                                 : folder.root() + "/" + where.toStdString();
        const FileSystem files(op < 0 ? FaultInjector{}
                                      : test::FailOn(FileOp(op), folder.data(), err));
        Session session(files, folder.program());
        expectFileError([&] { OpenDataLocation(session, path); }, number);
        QCOMPARE(session.DataPath, std::string());
    }

    void checkTakesInOnlyWhatAnotherProgramDid_data() {
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
    void checkTakesInOnlyWhatAnotherProgramDid() {
        QFETCH(QByteArray, file);
        QFETCH(int, count);
        TestFolder folder;
        const std::string three = RecordBytes("1") + RecordBytes("2") + RecordBytes("3");
        TestFolder::write(folder.clientFile(), three);
        // A scratch file left by an interrupted earlier run is replaced and removed.
        TestFolder::write(folder.data() + "/checkWriteTest", "old");
        const FileSystem files;
        Session session(files, folder.program());
        QVERIFY(OpenDataLocation(session, folder.data() + "/"));
        QCOMPARE(session.Clients.fileName(), folder.clientFile());
        QVERIFY(!files.exists(folder.data() + "/checkWriteTest"));
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

    // From the menu the location in use holds two clients; at start-up there is none yet, and
    // the user's own folder stands ready. The one asked for refuses `op` `failures` times with
    // `err`, or the dialog is closed (err 0) or names a missing folder (err -1). Nothing of a
    // refused location may be taken on; one that cannot be written opens for reading. Answers:
    // O(K), C(ancel), Y(es), N(o).
    void selectingRetriesOrGivesUp_data() {
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("atStartup");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("lastText");
        const QString denied = QString::fromStdString(AccessDeniedMessage().text);
        const int opened = int(LocationOutcome::Opened);
        const int kept = int(LocationOutcome::Kept);
        const int write = int(FileOp::Write);
        const int open = int(FileOp::Open);
        QTest::newRow("write-protected: opened for reading")
            << EROFS << write << 99 << false << "" << opened << "";
        QTest::newRow("unreadable, OK once readable")
            << EACCES << open << 2 << false << "O" << opened << denied;
        QTest::newRow("unreadable, Cancel at start-up: own folder")
            << EACCES << open << 99 << true << "C" << kept << denied;
        QTest::newRow("disk full")
            << ENOSPC << write << 99 << false << "O" << kept << "Error 61:Disk full";
        QTest::newRow("dialog closed at start-up: own folder")
            << 0 << 0 << 0 << true << "Y" << kept << "";
        // The folder named as typed: in capitals it would name another one.
        QTest::newRow("missing folder chosen, No")
            << -1 << 0 << 0 << false << "N" << int(LocationOutcome::EndProgram)
            << "No test information found on drive @/gone, would you like to try another drive?";
    }
    void selectingRetriesOrGivesUp() {
        QFETCH(int, err);
        QFETCH(int, op);
        QFETCH(int, failures);
        QFETCH(bool, atStartup);
        QFETCH(QString, answers);
        QFETCH(int, outcome);
        QFETCH(QString, lastText);
        TestFolder folder;
        TestFolder::write(folder.clientFile(), RecordBytes("ASKED"));
        const std::string other = folder.root() + "/other";
        QVERIFY(QDir().mkpath(QString::fromStdString(other)));
        TestFolder::write(other + "/DATA401.QLM", RecordBytes("A") + RecordBytes("B"));
        int refused = 0;
        const FileSystem files([&](FileOp at, const std::string& path) {
            const bool hit = at == FileOp(op) && path.starts_with(folder.data() + "/");
            return hit && refused++ < failures ? err : 0;
        });
        const std::string own = folder.root() + "/home/.local/share/quillmere/data";
        UserFolders user;
        user.location = own;
        Session session(files, folder.program(), user);
        if (!atStartup) {
            QVERIFY(OpenDataLocation(session, other));
        }
        session.Settings.WriteINIFilePath(err == 0 ? folder.root() + "/gone" : folder.data());
        test::FakeMessages messages;
        for (const QChar c : answers) {
            messages.answer(c == 'O'   ? MsgAnswer::OK
                            : c == 'C' ? MsgAnswer::Cancel
                            : c == 'N' ? MsgAnswer::No
                                       : MsgAnswer::Yes);
        }
        const auto result = SelectDataLocation(session, atStartup, messages, [&] {
            return err == 0 ? std::nullopt
                            : std::optional(err < 0 ? folder.root() + "/gone" : folder.data());
        });
        QCOMPARE(int(result), outcome);
        QVERIFY(messages.answered());
        if (!lastText.isEmpty()) {
            QCOMPARE(QString::fromStdString(messages.shown.back().text),
                     lastText.replace("@", QString::fromStdString(folder.root())));
        }
        const bool opened = result == LocationOutcome::Opened;
        QCOMPARE(session.DataPath, opened ? folder.data() : atStartup ? own : other);
        QCOMPARE(int(session.Clients.NumberOfClients()), opened ? 1 : atStartup ? 0 : 2);
        QCOMPARE(session.Clients.readOnly(), err == EROFS);
        if (err == EROFS) {  // a location opened for reading is never written
            expectFileError([&] { session.Clients.SaveClient(1); }, 70);
        }
        if (atStartup) {
            // Given up at start-up, the program goes on in the user's own folder, made private.
            for (const std::string& made : {own, folder.root() + "/home/.local"}) {
                QCOMPARE(QFileInfo(QString::fromStdString(made)).permissions() & 0x0077, 0);
            }
        }
    }

    void mountedVolumes() {
        const std::string mounts =
            "overlay / overlay rw 0 0\nproc /proc proc rw 0 0\n/dev/sda1 /boot ext4 rw 0 0\n"
            "/dev/nvme0n1p2 /home ext4 rw 0 0\ntmpfs /run tmpfs rw 0 0\n"
            "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
            "/dev/sdc1 /run/media/bob/CARD vfat rw 0 0\n/dev/sdd1 /run/user/0/gvfs fuse rw 0 0\n"
            "server:/exports /srv/share nfs4 rw 0 0\n/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
            "/dev/nvme0n1p2 /home ext4 rw 0 0\ntruncated-line\n";
        QCOMPARE(MountedVolumes(mounts),
                 (std::vector<std::string>{"/home", "/media/ann/USB STICK", "/run/media/bob/CARD",
                                           "/srv/share"}));
    }
};

QTEST_GUILESS_MAIN(DataLocationTest)
#include "DataLocationTest.moc"
