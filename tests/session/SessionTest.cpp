#include <sys/stat.h>

#include <QtTest>
#include <cerrno>
#include <optional>

#include "report/Report.h"
#include "session/DataLocation.h"
#include "session/DriveSelect.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "session/Settings.h"
#include "storage/FileError.h"
#include "storage/Profile.h"
#include "support/FakeMessages.h"
#include "support/Rows.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::RecordBytes;
using qlm::test::TestFolder;

namespace {

// Each key line goes into every section: each read sees only its own key.
const struct {
    const char* name;
    QString ini;  // "<none>": no settings file
    bool numLock;
    QString filePath, company;
} ValueRows[] = {
    {"missing file", "<none>", true, "a:", "TVN"},
    {"False", "NumLock=False", false, "a:", "TVN"},
    {"Truly is True", "NumLock=Truly", true, "a:", "TVN"},
    {"empty value is not missing", "NumLock=", false, "a:", "TVN"},
    {"300-character path", "FilePath=" + QString(300, 'p'), true, QString(300, 'p'), "TVN"},
    {"path blanks trimmed", "FilePath=   /srv/qlm data   ", true, "/srv/qlm data", "TVN"},
    {"five-letter company", "CompanyName=ABCDE", true, "a:", "ABC"},
    {"case-insensitive", "[PATH]\nfilepath = /d\n[settings]\nNUMLOCK=False", false, "/d", "TVN"},
};

const struct {
    const char* name;
    QString where;
    int op, err, number;
} UnusableRows[] = {
    {"a file where the folder should be", "file", -1, 0, 76},
    {"drive designation", "a:", -1, 0, 76},
    {"read-only: write test", "data", int(FileOp::Write), EROFS, 70},
    {"device error", "data", int(FileOp::Read), EIO, 57},
};

// Answers O(K), C(ancel), Y(es), N(o); err 0: the dialog is closed, -1: a missing folder named.
const QString Denied = QString::fromStdString(AccessDeniedMessage().text);
const struct {
    const char* name;
    int err;
    FileOp op;
    int failures;
    bool atStartup;
    QString answers;
    LocationOutcome outcome;
    QString lastText;
} SelectRows[] = {
    {"write-protected: opened for reading", EROFS, FileOp::Write, 99, false, "",
     LocationOutcome::Opened, ""},
    {"unreadable, OK once readable", EACCES, FileOp::Open, 2, false, "O", LocationOutcome::Opened,
     Denied},
    {"unreadable, Cancel at start-up: own folder", EACCES, FileOp::Open, 99, true, "C",
     LocationOutcome::Kept, Denied},
    {"disk full", ENOSPC, FileOp::Write, 99, false, "O", LocationOutcome::Kept,
     "Error 61:Disk full"},
    {"dialog closed at start-up: own folder", 0, FileOp::Open, 0, true, "Y", LocationOutcome::Kept,
     ""},
    // The folder named as typed: in capitals it would name another one.
    {"missing folder chosen, No", -1, FileOp::Open, 0, false, "N", LocationOutcome::EndProgram,
     "No test information found on drive @/gone, would you like to try another drive?"},
};

const std::string Three = RecordBytes("1") + RecordBytes("2") + RecordBytes("3");

// What another program left ("-": no file) and the clients after the check (-1: refused).
const struct {
    const char* name;
    std::string file;
    int count;
} CheckRows[] = {
    {"unchanged", Three, 3},
    {"a client added", Three + RecordBytes("4"), 4},
    {"a name edited", std::string(Three).replace(185, 3, "TWO").replace(185 + 183, 1, "1"), 3},
    {"a name deleted", std::string(Three).replace(185, 1, "9").replace(185 + 184, 1, "1"), 3},
    {"another disk", RecordBytes("1") + RecordBytes("X") + RecordBytes("3"), -1},
    {"fewer clients", Three.substr(0, 2 * 185), -1},
    {"removed", "-", -1},
};

}  // namespace

class SessionTest : public QObject {
    Q_OBJECT

private slots:
    void valuesAreReadThroughTheirBuffers_data() { test::addRows(ValueRows); }
    void valuesAreReadThroughTheirBuffers() {
        const auto& [name, ini, numLock, filePath, company] = test::currentRow(ValueRows);
        TestFolder folder;
        const std::string l = ini.toStdString();
        if (ini.startsWith('[')) {
            TestFolder::write(folder.program() + "/QLMtest.ini", l);
        } else if (ini != "<none>") {
            TestFolder::write(
                folder.program() + "/QLMtest.ini",
                "[Settings]\r\n" + l + "\r\n[Path]\r\n" + l + "\r\n[Company]\r\n" + l + "\r\n");
        }
        const FileSystem files;
        const Settings settings(files, folder.program());
        QCOMPARE(settings.ReadNumLockSetting(), numLock);
        QCOMPARE(QString::fromStdString(settings.GetINIFilePath()), filePath);
        QCOMPARE(QString::fromStdString(settings.GetCompanyName()), company);
        QCOMPARE(settings.GetINISndPath(), std::string("c:"));
        QVERIFY(settings.ReadPrintDOSSetting());
    }

    void writeChangesOnlyItsValue() {
        TestFolder folder;
        const std::string ini = folder.program() + "/QLMtest.ini";
        const std::string before =
            "; kept comment\r\n[Settings]\r\nNumLock=True\r\nPrintDOS=False\r\n\r\n"
            "[Path]\r\nFilePath=a:\r\nSndPath=/snd\r\n[Options]\r\nSystemDB=x\r\n";
        TestFolder::write(ini, before);
        const FileSystem files;
        const Settings settings(files, folder.program());
        settings.WriteNumLockSetting(false);
        settings.WriteINIFilePath("/srv/data");
        std::string expected = before;
        expected.replace(expected.find("NumLock=True"), 12, "NumLock=False");
        expected.replace(expected.find("FilePath=a:"), 11, "FilePath=/srv/data");
        QCOMPARE(TestFolder::read(ini), expected);

        QCOMPARE(WriteProfileValue("", "Options", "SystemDB", "/p/tvnsys.mda"),
                 std::string("[Options]\nSystemDB=/p/tvnsys.mda\n"));
        QCOMPARE(WriteProfileValue("[Path]\nFilePath=a:\n\n[Other]\nX=1", "path", "SndPath", "/s"),
                 std::string("[Path]\nFilePath=a:\nSndPath=/s\n\n[Other]\nX=1"));
        QCOMPARE(WriteProfileValue("[Other]\r\nX=1", "Path", "FilePath", "b:"),
                 std::string("[Other]\r\nX=1\r\n[Path]\r\nFilePath=b:\r\n"));
    }

    // "@" is the test's root. Columns: program folder, $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, then
    // the data, settings, defaults, report, guide and site settings folders.
    void foldersFollowWhereTheProgramLives_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QStringList>("row");
        const auto row = [](const char* name, bool writable, const QString& columns) {
            QTest::newRow(name) << writable << columns.split('|');
        };
        const QString user = "@/home/.config/quillmere|", report = "@/home/.local/share/quillmere|";
        const QString installed = "@/usr/share/doc/q/user-guide.html|@/etc/q";
        row("build folder", true,
            "@/build|||@/build|@/build||@/build|@/build/doc/user-guide.html|@/build");
        row("read-only unpacked copy", false,
            "@/copy|relative/is/ignored||@/copy|" + user + "@/copy|" + report +
                "@/copy/doc/user-guide.html|@/copy");
        // Root can write the installation, and must not: the place decides.
        row("installed, run by root", true,
            "@/usr/lib/q|||@/usr/share/q|" + user + "/etc/xdg/quillmere:@/etc/q|" + report +
                installed);
        row("installed, reached through a link", false,
            "@/lib/q|@/cfg|@/xdg1:relative:@/xdg2|@/usr/share/q|@/cfg/quillmere|"
            "@/xdg1/quillmere:@/xdg2/quillmere:@/etc/q|" +
                report + installed);
    }
    void foldersFollowWhereTheProgramLives() {
        QFETCH(bool, writable);
        QFETCH(QStringList, row);
        TestFolder folder;
        const auto at = [&](const QString& text) {
            return QString(text).replace('@', QString::fromStdString(folder.root())).toStdString();
        };
        QVERIFY(QDir().mkpath(QString::fromStdString(at("@/usr/lib/q"))));
        QVERIFY(QDir().mkpath(QString::fromStdString(at("@/build"))));
        QVERIFY(QFile::link(QString::fromStdString(at("@/usr/lib")),
                            QString::fromStdString(at("@/lib"))));
        const FolderEnvironment env{
            at("@/home"),
            at(row[1]),
            "",
            at(row[2]),
            {at("@/usr/lib/q"), at("@/usr/share/q"), at("@/etc/q"), at("@/usr/share/doc/q")}};
        const std::string program = at(row[0]);
        const UserFolders folders = ResolveUserFolders(program, writable, env);
        std::string defaults;
        for (const std::string& d : folders.defaults) {
            defaults += (defaults.empty() ? "" : ":") + d;
        }
        QCOMPARE(
            (std::vector{folders.data, folders.settings, defaults, folders.report, folders.guide}),
            (std::vector{at(row[3]), at(row[4]), at(row[5]), at(row[6]), at(row[7])}));
        QCOMPARE(folders.location, at("@/home/.local/share/quillmere/data"));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(folders.location)));
        for (const std::string& made : {folders.settings, folders.report}) {
            struct stat st {};
            QCOMPARE(::stat(made.c_str(), &st), 0);
            QVERIFY(made == program || (st.st_mode & 0777) == 0700);
        }
        const FileSystem files;
        const Session session(files, program, folders);
        QCOMPARE(session.programFile("QLMB.TXT"), at(row[3]) + "/QLMB.TXT");
        QCOMPARE(session.reportFile(), at(row[6]) + "/" + ReportFileName);
        QCOMPARE(session.Code.settingsFile(), at(row[8]) + "/QLMtest.ini");
    }

    void usersSettingsAreReadOverTheDefaultsKeyByKey() {
        TestFolder folder;
        const std::string user = folder.root() + "/user", xdg = folder.root() + "/xdg",
                          etc = folder.root() + "/etc";
        for (const std::string& dir : {user, xdg, etc}) {
            QVERIFY(QDir().mkpath(QString::fromStdString(dir)));
        }
        const std::string system =
            "[Path]\nFilePath=/srv/site\nSndPath=/usr/share/q\n"
            "[Settings]\nNumLock=False\n[Company]\nCompanyName=ETC\n";
        TestFolder::write(etc + "/QLMtest.ini", system);
        TestFolder::write(xdg + "/QLMtest.ini", "[Company]\nCompanyName=XDG\n");
        TestFolder::write(user + "/QLMtest.ini", "[Settings]\nNumLock=True\n");
        const FileSystem files;
        const Settings settings(files, user, {xdg, etc});
        QCOMPARE(settings.GetINIFilePath() + settings.GetINISndPath() + settings.GetCompanyName(),
                 std::string("/srv/site/usr/share/qXDG"));
        QVERIFY(settings.ReadNumLockSetting() && settings.ReadPrintDOSSetting());

        settings.WriteINIFilePath("/srv/site");
        QCOMPARE(TestFolder::read(user + "/QLMtest.ini"),
                 std::string("[Settings]\nNumLock=True\n"));
        settings.WriteINIFilePath("/home/me/clients");
        settings.WriteINIFilePath("/srv/site");
        QCOMPARE(settings.GetINIFilePath(), std::string("/srv/site"));
        QCOMPARE(TestFolder::read(user + "/QLMtest.ini"),
                 std::string("[Settings]\nNumLock=True\n[Path]\nFilePath=/srv/site\n"));
        QCOMPARE(TestFolder::read(etc + "/QLMtest.ini"), system);
    }
    void unusableLocationsRaiseTheirClass_data() { test::addRows(UnusableRows); }
    void unusableLocationsRaiseTheirClass() {
        const auto& [name, where, op, err, number] = test::currentRow(UnusableRows);
        TestFolder folder;
        TestFolder::write(folder.root() + "/file", "x");
        const std::string path = where == "data" ? folder.data()
                                 : where == "a:" ? "a:"
                                                 : folder.root() + "/" + where.toStdString();
        const FileSystem files(op < 0 ? FaultInjector{}
                                      : test::FailOn(FileOp(op), folder.data(), err));
        Session session(files, folder.program());
        try {
            OpenDataLocation(session, path);
            QFAIL("an unusable location was opened");
        } catch (const FileError& e) {
            QCOMPARE(e.number(), number);
        }
        QCOMPARE(session.DataPath, std::string());
    }

    void checkTakesInOnlyWhatAnotherProgramDid_data() { test::addRows(CheckRows); }
    void checkTakesInOnlyWhatAnotherProgramDid() {
        const auto& [name, file, count] = test::currentRow(CheckRows);
        TestFolder folder;
        TestFolder::write(folder.clientFile(), Three);
        TestFolder::write(folder.data() + "/checkWriteTest", "old");
        const FileSystem files;
        Session session(files, folder.program());
        QVERIFY(OpenDataLocation(session, folder.data() + "/"));
        QVERIFY(!files.exists(folder.data() + "/checkWriteTest"));
        if (file == "-") {
            QVERIFY(QFile::remove(QString::fromStdString(folder.clientFile())));
        } else {
            TestFolder::write(folder.clientFile(), file);
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
                         file.substr(std::size_t(r - 1) * 185, 185));
            }
            return;
        }
        QCOMPARE(shown, QStringList({"changed", "notFound"}));
        QCOMPARE(int(session.Clients.NumberOfClients()), 3);
        shown.clear();
        const auto putBack = [&] {
            changed();
            TestFolder::write(folder.clientFile(), Three);
        };
        QVERIFY(CheckDataLocation(session, putBack, notFound));
        QCOMPARE(shown, QStringList({"changed"}));
    }

    void selectingRetriesOrGivesUp_data() { test::addRows(SelectRows); }
    void selectingRetriesOrGivesUp() {
        auto [name, err, op, failures, atStartup, answers, outcome, lastText] =
            test::currentRow(SelectRows);
        TestFolder folder;
        TestFolder::write(folder.clientFile(), RecordBytes("ASKED"));
        const std::string other = folder.root() + "/other";
        QVERIFY(QDir().mkpath(QString::fromStdString(other)));
        TestFolder::write(other + "/DATA401.QLM", RecordBytes("A") + RecordBytes("B"));
        int refused = 0;
        const FileSystem files(
            [&, op = op, err = err, failures = failures](FileOp at, const std::string& path) {
                const bool hit = at == op && path.starts_with(folder.data() + "/");
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
        const auto result = SelectDataLocation(session, atStartup, messages, [&, err = err] {
            return err == 0 ? std::nullopt
                            : std::optional(err < 0 ? folder.root() + "/gone" : folder.data());
        });
        QCOMPARE(result, outcome);
        QVERIFY(messages.answered());
        if (!lastText.isEmpty()) {
            QCOMPARE(QString::fromStdString(messages.shown.back().text),
                     lastText.replace("@", QString::fromStdString(folder.root())));
        }
        const bool opened = result == LocationOutcome::Opened;
        QCOMPARE(session.DataPath, opened ? folder.data() : atStartup ? own : other);
        QCOMPARE(int(session.Clients.NumberOfClients()), opened ? 1 : atStartup ? 0 : 2);
        QCOMPARE(session.Clients.readOnly(), err == EROFS);
        if (atStartup) {
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

QTEST_GUILESS_MAIN(SessionTest)
#include "SessionTest.moc"
