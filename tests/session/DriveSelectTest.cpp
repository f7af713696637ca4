#include <QtTest>
#include <cerrno>
#include <optional>

#include "session/DataLocation.h"
#include "session/DriveSelect.h"
#include "session/Session.h"
#include "session/Settings.h"
#include "storage/FileError.h"
#include "support/FakeMessages.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::FakeMessages;
using qlm::test::TestFolder;

class DriveSelectTest : public QObject {
    Q_OBJECT

private slots:
    void messagesAreExact();
    void unusableLocationRetriesOrGivesUp_data();
    void unusableLocationRetriesOrGivesUp();
    void mountedVolumes();
};

void DriveSelectTest::messagesAreExact() {
    const std::string exitAdvice =
        "If you wish to change test programs or data disks, you must first exit the program "
        "currently running on your computer.  To exit the program, select the Exit Application "
        "option on the Main Menu.  Wait for the disk drive light to turn off, then change data "
        "disks and start the new program.";
    // The folder as typed: in capitals it would name another one.
    const Message ask = NoTestInformationMessage("/srv/intake/data");
    QCOMPARE(ask.text, std::string("No test information found on drive /srv/intake/data, would "
                                   "you like to try another drive?"));
    QVERIFY(ask.title.empty() && ask.icon == MsgIcon::None && ask.buttons == MsgButtons::YesNo);
    const Message denied = AccessDeniedMessage();
    QCOMPARE(denied.text, std::string("Data disk cannot be read!\r\n\r\nAsk for the right to read "
                                      "the data folder, then choose OK to try again."));
    QCOMPARE(denied.title, std::string("Data Disk Error"));
    QVERIFY(denied.icon == MsgIcon::Critical && denied.buttons == MsgButtons::OKCancel);
    QCOMPARE(OtherErrorMessage(FileError(61, "Disk full")).text, std::string("Error 61:Disk full"));
    const Message changed = DataDiskChangedMessage();
    QCOMPARE(changed.title, std::string("Data Disk Changed"));
    QCOMPARE(changed.text,
             "Original data disk not found!\r\rThe data location used when the program was "
             "started is no longer available (a USB stick removed, or a network share "
             "disconnected).\r\rIt is VERY important that the data disk not be removed or "
             "changed while the program is running.  Corruption of the client database may "
             "occur, possibly making the data disk unusable.\r\r" +
                 exitAdvice + "\r\rPlease re-insert the original data disk and click OK.");
    const Message gone = DataDiskStillNotFoundMessage();
    QCOMPARE(gone.title, std::string("Data Disk Not Found"));
    QCOMPARE(gone.text,
             "Original data disk still not found!\r\rThe data location used when the program "
             "was started is not available (a USB stick removed, or a network share "
             "disconnected).\r\rThe test program must be closed and re-opened to use a "
             "different data disk.\r\r" +
                 exitAdvice + "\r\rThis test program will now shut down.");
    QVERIFY(gone.icon == MsgIcon::Critical && gone.buttons == MsgButtons::OK);
    QCOMPARE(DriveHelpMessage().text,
             std::string("Use the dropdown box to select the folder that holds the data: a\r\n"
                         "folder of your own, a USB stick (usually under /media) or a\r\n"
                         "network share. Browse... chooses any other folder."));
}

// From the menu the location in use holds two clients; at start-up there is none yet, and the
// user's own folder stands ready. The one asked for refuses `op` `failures` times with `err`,
// or the dialog is closed (err 0) or names a missing folder (err -1). Nothing of a refused
// location may be taken on; one that cannot be written opens for reading. Answers: O(K),
// C(ancel), Y(es), N(o).
void DriveSelectTest::unusableLocationRetriesOrGivesUp_data() {
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
    const int ended = int(LocationOutcome::EndProgram);
    const int write = int(FileOp::Write);
    const int open = int(FileOp::Open);
    QTest::newRow("write-protected: opened for reading")
        << EROFS << write << 99 << false << "" << opened << "";
    QTest::newRow("unreadable, OK once readable")
        << EACCES << open << 2 << false << "O" << opened << denied;
    QTest::newRow("unreadable, OK, Cancel")
        << EACCES << open << 99 << false << "OC" << kept << denied;
    QTest::newRow("unreadable, Cancel at start-up: own folder")
        << EACCES << open << 99 << true << "C" << kept << denied;
    QTest::newRow("disk full") << ENOSPC << write << 99 << false << "O" << kept
                               << "Error 61:Disk full";
    QTest::newRow("disk full at start-up: own folder")
        << ENOSPC << write << 99 << true << "O" << kept << "Error 61:Disk full";
    QTest::newRow("dialog closed") << 0 << 0 << 0 << false << "" << kept << "";
    QTest::newRow("dialog closed at start-up: own folder")
        << 0 << 0 << 0 << true << "Y" << kept << "";
    QTest::newRow("missing folder chosen, No") << -1 << 0 << 0 << false << "N" << ended << "";
}

void DriveSelectTest::unusableLocationRetriesOrGivesUp() {
    QFETCH(int, err);
    QFETCH(int, op);
    QFETCH(int, failures);
    QFETCH(bool, atStartup);
    QFETCH(QString, answers);
    QFETCH(int, outcome);
    QFETCH(QString, lastText);
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("ASKED"));
    const std::string other = folder.root() + "/other";
    QVERIFY(QDir().mkpath(QString::fromStdString(other)));
    TestFolder::write(other + "/DATA401.QLM", test::RecordBytes("A") + test::RecordBytes("B"));
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
    FakeMessages messages;
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
        QCOMPARE(QString::fromStdString(messages.shown.back().text), lastText);
    }
    const bool opened = result == LocationOutcome::Opened;
    QCOMPARE(session.DataPath, opened ? folder.data() : atStartup ? own : other);
    QCOMPARE(int(session.Clients.NumberOfClients()), opened ? 1 : atStartup ? 0 : 2);
    QCOMPARE(session.Clients.readOnly(), err == EROFS);
    if (atStartup) {
        // Given up at start-up, the program goes on in the user's own folder, made private.
        QCOMPARE(QFileInfo(QString::fromStdString(own)).permissions() & 0x0077, 0);
        QCOMPARE(QFileInfo(QString::fromStdString(folder.root() + "/home/.local")).permissions() &
                     0x0077,
                 0);
    }
}

void DriveSelectTest::mountedVolumes() {
    const std::string mounts =
        "overlay / overlay rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sda1 /boot ext4 rw 0 0\n"
        "/dev/nvme0n1p2 /home ext4 rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdb1 /media/ann/USB\\040STICK vfat rw 0 0\n"
        "/dev/sdc1 /run/media/bob/CARD vfat rw 0 0\n"
        "/dev/sdd1 /run/user/0/gvfs fuse rw 0 0\n"
        "server:/exports /srv/share nfs4 rw 0 0\n"
        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
        "/dev/nvme0n1p2 /home ext4 rw 0 0\n"
        "truncated-line\n";
    const std::vector<std::string> expected{"/home", "/media/ann/USB STICK", "/run/media/bob/CARD",
                                            "/srv/share"};
    QCOMPARE(MountedVolumes(mounts), expected);
}

QTEST_GUILESS_MAIN(DriveSelectTest)
#include "DriveSelectTest.moc"
