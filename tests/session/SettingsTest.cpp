#include <sys/stat.h>

#include <QtTest>

#include "report/Report.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "session/Settings.h"
#include "storage/FileSystem.h"
#include "storage/Profile.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void valuesAreReadThroughTheirBuffers_data() {
        QTest::addColumn<QString>("ini");  // "<none>": no settings file
        QTest::addColumn<bool>("numLock");
        QTest::addColumn<QString>("filePath");
        QTest::addColumn<QString>("company");
        const auto row = [](const char* tag, QString ini, bool numLock, QString path,
                            QString company = "TVN") {
            QTest::newRow(tag) << ini << numLock << path << company;
        };
        // Each key line is written into every section so that each read sees only its own key.
        row("missing file", "<none>", true, "a:");
        row("False", "NumLock=False", false, "a:");
        row("Truly is True", "NumLock=Truly", true, "a:");
        row("empty value is not missing", "NumLock=", false, "a:");
        // Paths are read whole (a path cut short names another folder); other keys keep their
        // buffers.
        row("300-character path", "FilePath=" + QString(300, 'p'), true, QString(300, 'p'));
        row("path blanks trimmed", "FilePath=   /srv/qlm data   ", true, "/srv/qlm data");
        row("five-letter company", "CompanyName=ABCDE", true, "a:", "ABC");
        row("case-insensitive", "[PATH]\nfilepath = /d\n[settings]\nNUMLOCK=False", false, "/d");
    }
    void valuesAreReadThroughTheirBuffers() {
        QFETCH(QString, ini);
        QFETCH(bool, numLock);
        QFETCH(QString, filePath);
        QFETCH(QString, company);
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

    // A write replaces one value and keeps every other line, adds a missing key to its section
    // or a missing section at the end (a failed one is the write-fault tests').
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
        QVERIFY(!settings.ReadNumLockSetting());

        QCOMPARE(WriteProfileValue("", "Options", "SystemDB", "/p/tvnsys.mda"),
                 std::string("[Options]\nSystemDB=/p/tvnsys.mda\n"));
        QCOMPARE(WriteProfileValue("[Path]\nFilePath=a:\n\n[Other]\nX=1", "path", "SndPath", "/s"),
                 std::string("[Path]\nFilePath=a:\nSndPath=/s\n\n[Other]\nX=1"));
        QCOMPARE(WriteProfileValue("[Other]\r\nX=1", "Path", "FilePath", "b:"),
                 std::string("[Other]\r\nX=1\r\n[Path]\r\nFilePath=b:\r\n"));
    }

    // Where the program reads its files and keeps its own, by where it lives and who runs it.
    // In the rows "@" is the test's root folder; the installed layout is @/usr/lib/q,
    // @/usr/share/q, @/etc/q; "program" is the folder the program runs from. The columns: the
    // program folder, whether it can be written, $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, then the
    // folders of the data, the settings, the defaults (joined by ":"), the report, the guide
    // and the site's settings (the only ones the secret code is read from).
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
        // The user's own data location is only named: the first write makes it.
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
        QCOMPARE(session.Log.userFolder(), at("@/home/.local/share/quillmere"));
    }

    // A user's own settings are read over the defaults key by key; what the user writes goes to
    // the user's file only, and a value the defaults give already is not added to it.
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
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "SettingsTest.moc"
