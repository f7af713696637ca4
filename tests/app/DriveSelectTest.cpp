#include <QtTest>
#include <cerrno>
#include <optional>

#include "app/ClientList.h"
#include "app/DataLocation.h"
#include "app/DriveSelect.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "storage/FileError.h"
#include "support/FakeMessages.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::FakeMessages;
using qlm::test::TestFolder;

namespace {

const std::string ExitAdvice =
    "If you wish to change test programs or data disks, you must first exit the program "
    "currently running on your computer.  To exit the program, select the Exit Application "
    "option on the Main Menu.  Wait for the disk drive light to turn off, then change data "
    "disks and start the new program.";

// A dialog that must not be shown.
std::optional<std::string> noDialog() {
    QTest::qFail("the dialog was shown", __FILE__, __LINE__);
    return std::nullopt;
}

}  // namespace

class DriveSelectTest : public QObject {
    Q_OBJECT

private slots:
    void messagesAreExact();
    void firstStartTriesDriveAAndAsks_data();
    void firstStartTriesDriveAAndAsks();
    void noEndsTheProgramFromTheMenuToo();
    void storedLocationOpensSilently();
    void writeProtectedRetriesOrGivesUp_data();
    void writeProtectedRetriesOrGivesUp();
    void otherErrorsAndClosedDialogGiveUp_data();
    void otherErrorsAndClosedDialogGiveUp();
    void checkShowsBothMessagesWhenTheCountDiffers();
    void startupErrorHandler_data();
    void startupErrorHandler();
    void mountedVolumes();
    void listItemGivesItsRecordNumber_data();
    void listItemGivesItsRecordNumber();
};

void DriveSelectTest::messagesAreExact() {
    const Message ask = NoTestInformationMessage("/media/usb0");
    QCOMPARE(ask.text, std::string("No test information found on drive /MEDIA/USB0, would you "
                                   "like to try another drive?"));
    QCOMPARE(ask.title, std::string());
    QVERIFY(ask.icon == MsgIcon::None && ask.buttons == MsgButtons::YesNo);

    const Message locked = WriteProtectedMessage();
    QCOMPARE(locked.text, std::string("Data disk write protected!\r\n\r\nSet the data disk to "
                                      "writable and replace in drive."));
    QCOMPARE(locked.title, std::string("Data Disk Error"));
    QVERIFY(locked.icon == MsgIcon::Critical && locked.buttons == MsgButtons::OKCancel);

    QCOMPARE(OtherErrorMessage(FileError(61, "Disk full")).text, std::string("Error 61:Disk full"));

    const Message changed = DataDiskChangedMessage();
    QCOMPARE(changed.title, std::string("Data Disk Changed"));
    QCOMPARE(changed.text,
             "Original data disk not found!\r\rThe data disk used when the program was started "
             "is no longer in the floppy drive.\r\rIt is VERY important that the data disk not "
             "be removed or changed while the program is running.  Corruption of the client "
             "database may occur, possibly making the data disk unusable.\r\r" +
                 ExitAdvice + "\r\rPlease re-insert the original data disk and click OK.");
    const Message gone = DataDiskStillNotFoundMessage();
    QCOMPARE(gone.title, std::string("Data Disk Not Found"));
    QCOMPARE(gone.text,
             "Original data disk still not found!\r\rThe data disk used when the program was "
             "started is not in the floppy drive.\r\rThe test program must be closed and "
             "re-opened to use a different data disk.\r\r" +
                 ExitAdvice + "\r\rThis test program will now shut down.");
    QVERIFY(gone.icon == MsgIcon::Critical && gone.buttons == MsgButtons::OK);

    QCOMPARE(DriveHelpMessage().text,
             std::string("Use the dropdown box to select the drive that the floppy data \r\n"
                         "diskette or USB Flash Drive is in. Floppy drives are usually A: or\r\n"
                         "B: and USB drives are usually F: or G:"));
}

void DriveSelectTest::firstStartTriesDriveAAndAsks_data() {
    QTest::addColumn<bool>("tryAnother");
    QTest::newRow("Yes opens the dialog") << true;
    QTest::newRow("No ends the program") << false;
}

void DriveSelectTest::firstStartTriesDriveAAndAsks() {
    QFETCH(bool, tryAnother);
    TestFolder folder;
    const FileSystem files;
    Session session(files, folder.program());
    const Settings settings(files, folder.program());
    FakeMessages messages;
    messages.answer(tryAnother ? MsgAnswer::Yes : MsgAnswer::No);
    int dialogs = 0;
    const auto outcome = SelectDataLocation(session, settings, true, messages, [&] {
        ++dialogs;
        return std::optional(folder.data());
    });
    QCOMPARE(messages.shown.size(), std::size_t(1));
    QCOMPARE(messages.shown[0], NoTestInformationMessage("a:"));
    QVERIFY(messages.shown[0].text.find("drive A:,") != std::string::npos);
    if (tryAnother) {
        QVERIFY(outcome == LocationOutcome::Opened);
        QCOMPARE(dialogs, 1);
        QCOMPARE(session.DataPath, folder.data());
        QCOMPARE(settings.GetINIFilePath(), folder.data());
    } else {
        QVERIFY(outcome == LocationOutcome::EndProgram);
        QCOMPARE(dialogs, 0);
        QVERIFY(!files.exists(settings.path()));
    }
}

void DriveSelectTest::noEndsTheProgramFromTheMenuToo() {
    TestFolder folder;
    const FileSystem files;
    Session session(files, folder.program());
    const Settings settings(files, folder.program());
    FakeMessages messages;
    messages.answer(MsgAnswer::No);
    const auto outcome = SelectDataLocation(session, settings, false, messages,
                                            [&] { return std::optional(folder.root() + "/gone"); });
    QVERIFY(outcome == LocationOutcome::EndProgram);
    QVERIFY(messages.answered());
}

void DriveSelectTest::storedLocationOpensSilently() {
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("ANN") + test::RecordBytes("BOB"));
    const FileSystem files;
    Session session(files, folder.program());
    const Settings settings(files, folder.program());
    settings.WriteINIFilePath(folder.data());
    FakeMessages messages;
    QVERIFY(SelectDataLocation(session, settings, true, messages, noDialog) ==
            LocationOutcome::Opened);
    QVERIFY(messages.shown.empty());
    QCOMPARE(int(session.NumberOfClients), 2);
}

void DriveSelectTest::writeProtectedRetriesOrGivesUp_data() {
    QTest::addColumn<bool>("atStartup");
    QTest::addColumn<int>("failures");   // how often the location refuses writing
    QTest::addColumn<int>("okAnswers");  // then Cancel, when the user gives up first
    QTest::addColumn<int>("outcome");
    QTest::newRow("OK after the disk was made writable")
        << false << 1 << 1 << int(LocationOutcome::Opened);
    QTest::newRow("OK, still locked, Cancel from the menu")
        << false << 99 << 1 << int(LocationOutcome::Kept);
    QTest::newRow("Cancel at start-up") << true << 99 << 0 << int(LocationOutcome::EndProgram);
}

void DriveSelectTest::writeProtectedRetriesOrGivesUp() {
    QFETCH(bool, atStartup);
    QFETCH(int, failures);
    QFETCH(int, okAnswers);
    QFETCH(int, outcome);
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("LOCKED"));
    const std::string other = folder.root() + "/other";
    QVERIFY(QDir().mkpath(QString::fromStdString(other)));
    TestFolder::write(other + "/DATA401.QLM",
                      test::RecordBytes("KEPT1") + test::RecordBytes("KEPT2"));

    int refused = 0;
    const FileSystem files([&](FileOp op, const std::string& path) {
        const bool locked = op == FileOp::Write && path.find("/data/") != std::string::npos;
        return locked && refused++ < failures ? EROFS : 0;
    });
    Session session(files, folder.program());
    const Settings settings(files, folder.program());
    QVERIFY(OpenDataLocation(session, other));
    settings.WriteINIFilePath(folder.data());

    FakeMessages messages;
    for (int i = 0; i < okAnswers; ++i) {
        messages.answer(MsgAnswer::OK);
    }
    if (failures > okAnswers) {
        messages.answer(MsgAnswer::Cancel);
    }
    const auto result = SelectDataLocation(session, settings, atStartup, messages,
                                           [&] { return std::optional(folder.data()); });
    QCOMPARE(int(result), outcome);
    QVERIFY(messages.answered());
    for (const Message& shown : messages.shown) {
        QCOMPARE(shown, WriteProtectedMessage());
    }
    if (result == LocationOutcome::Opened) {
        QCOMPARE(int(session.NumberOfClients), 1);
        QCOMPARE(session.DataPath, folder.data());
    } else {
        // Nothing of the refused location was taken on.
        QCOMPARE(session.DataPath, other);
        QCOMPARE(int(session.NumberOfClients), 2);
    }
}

void DriveSelectTest::otherErrorsAndClosedDialogGiveUp_data() {
    QTest::addColumn<bool>("closeDialog");
    QTest::addColumn<bool>("atStartup");
    QTest::addColumn<int>("outcome");
    QTest::newRow("disk full, menu") << false << false << int(LocationOutcome::Kept);
    QTest::newRow("disk full, start-up") << false << true << int(LocationOutcome::EndProgram);
    QTest::newRow("dialog closed, menu") << true << false << int(LocationOutcome::Kept);
    QTest::newRow("dialog closed, start-up") << true << true << int(LocationOutcome::EndProgram);
}

void DriveSelectTest::otherErrorsAndClosedDialogGiveUp() {
    QFETCH(bool, closeDialog);
    QFETCH(bool, atStartup);
    QFETCH(int, outcome);
    TestFolder folder;
    const FileSystem files(test::FailOn(FileOp::Write, "checkWriteTest", ENOSPC));
    Session session(files, folder.program());
    const Settings settings(files, folder.program());
    settings.WriteINIFilePath(closeDialog ? folder.root() + "/gone" : folder.data());
    FakeMessages messages;
    if (closeDialog) {
        if (atStartup) {
            messages.answer(MsgAnswer::Yes);
        }
    } else {
        messages.answer(MsgAnswer::OK);
    }
    const auto result = SelectDataLocation(session, settings, atStartup, messages, [&] {
        return closeDialog ? std::nullopt : std::optional(folder.data());
    });
    QCOMPARE(int(result), outcome);
    QVERIFY(messages.answered());
    if (!closeDialog) {
        QCOMPARE(messages.shown.back().text, std::string("Error 61:Disk full"));
    }
    QVERIFY(session.DataPath.empty());
}

void DriveSelectTest::checkShowsBothMessagesWhenTheCountDiffers() {
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("A") + test::RecordBytes("B"));
    const FileSystem files;
    Session session(files, folder.program());
    QVERIFY(OpenDataLocation(session, folder.data()));

    FakeMessages quiet;
    QVERIFY(CheckDataLocation(session, quiet));
    QVERIFY(quiet.shown.empty());

    // Another disk with one record fewer, then a short last record that still rounds down.
    TestFolder::write(folder.clientFile(), test::RecordBytes("A") + std::string(92, ' '));
    FakeMessages messages;
    messages.answer(MsgAnswer::OK).answer(MsgAnswer::OK);
    QVERIFY(!CheckDataLocation(session, messages));
    QCOMPARE(messages.shown.size(), std::size_t(2));
    QCOMPARE(messages.shown[0], DataDiskChangedMessage());
    QCOMPARE(messages.shown[1], DataDiskStillNotFoundMessage());
}

void DriveSelectTest::startupErrorHandler_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("retry");
    QTest::newRow("not found, OK") << 53 << int(MsgAnswer::OK) << "Data Disk Error" << true;
    QTest::newRow("not ready, Cancel")
        << 71 << int(MsgAnswer::Cancel) << "Data Disk Error" << false;
    QTest::newRow("permission, OK") << 70 << int(MsgAnswer::OK) << "Data Disk Error" << true;
    QTest::newRow("other") << 75 << int(MsgAnswer::OK) << "" << false;
}

void DriveSelectTest::startupErrorHandler() {
    QFETCH(int, number);
    QFETCH(int, answer);
    QFETCH(QString, title);
    QFETCH(bool, retry);
    FakeMessages messages;
    messages.answer(MsgAnswer(answer));
    QCOMPARE(RetryAfterStartupError(FileError(number, "Path/File access error"), messages), retry);
    QCOMPARE(QString::fromStdString(messages.shown.at(0).title), title);
    if (number == 53 || number == 71) {
        QCOMPARE(messages.shown[0], DataDiskNotFoundMessage());
        QCOMPARE(messages.shown[0].text, std::string("Data disk not found!\r\n\r\nInsert data disk "
                                                     "in drive A to continue."));
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

void DriveSelectTest::listItemGivesItsRecordNumber_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("client");
    QTest::newRow("one digit") << "3-ANN                      " << 3;
    QTest::newRow("two digits") << "12-SMITH-JONES, PAT        " << 12;
    QTest::newRow("no dash") << "" << 0;
}

void DriveSelectTest::listItemGivesItsRecordNumber() {
    QFETCH(QString, item);
    QFETCH(int, client);
    QCOMPARE(ClientOfListItem(item.toStdString()), client);
}

QTEST_GUILESS_MAIN(DriveSelectTest)
#include "DriveSelectTest.moc"
