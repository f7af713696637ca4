#include <QtTest>
#include <sys/stat.h>

#include <cerrno>

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
    void valuesAreReadThroughTheirBuffers_data();
    void valuesAreReadThroughTheirBuffers();
    void writeReplacesOneValueAndKeepsEveryOtherLine();
    void writeAddsMissingKeysAndSections();
    void failedWriteLeavesTheFileIntact();
    void aReadOnlyProgramFolderKeepsTheUsersFilesInTheirOwnFolders();
};

void SettingsTest::valuesAreReadThroughTheirBuffers_data() {
    QTest::addColumn<QString>("ini");  // "<none>": no settings file
    QTest::addColumn<bool>("numLock");
    QTest::addColumn<QString>("filePath");
    QTest::addColumn<QString>("company");
    const auto row = [](const char* tag, QString ini, bool numLock, QString path, QString company) {
        QTest::newRow(tag) << ini << numLock << path << company;
    };
    // Each key line is written into every section so that each read sees only its own key.
    row("missing file", "<none>", true, "a:", "TVN");
    row("False", "NumLock=False", false, "a:", "TVN");
    row("capitals are not True", "NumLock=TRUE", false, "a:", "TVN");
    row("Truly is True", "NumLock=Truly", true, "a:", "TVN");
    row("empty value is not missing", "NumLock=", false, "a:", "TVN");
    // Paths are read whole (a path cut short names another folder); other keys keep their buffers.
    row("300-character path", "FilePath=" + QString(300, 'p'), true, QString(300, 'p'), "TVN");
    row("path blanks trimmed", "FilePath=   /srv/qlm data   ", true, "/srv/qlm data", "TVN");
    row("empty path", "FilePath=", true, "", "TVN");
    row("five-letter company", "CompanyName=ABCDE", true, "a:", "ABC");
    row("case-insensitive", "[PATH]\nfilepath = /d\n[settings]\nNUMLOCK=False", false, "/d", "TVN");
}

void SettingsTest::valuesAreReadThroughTheirBuffers() {
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

void SettingsTest::writeReplacesOneValueAndKeepsEveryOtherLine() {
    TestFolder folder;
    const std::string before =
        "; kept comment\r\n[Settings]\r\nNumLock=True\r\nPrintDOS=False\r\n\r\n"
        "[Path]\r\nFilePath=a:\r\nSndPath=/snd\r\n[Options]\r\nSystemDB=x\r\n";
    TestFolder::write(folder.program() + "/QLMtest.ini", before);
    const FileSystem files;
    const Settings settings(files, folder.program());
    settings.WriteNumLockSetting(false);
    settings.WriteINIFilePath("/srv/data");
    std::string expected = before;
    expected.replace(expected.find("NumLock=True"), 12, "NumLock=False");
    expected.replace(expected.find("FilePath=a:"), 11, "FilePath=/srv/data");
    QCOMPARE(TestFolder::read(folder.program() + "/QLMtest.ini"), expected);
    QVERIFY(!settings.ReadNumLockSetting());
}

void SettingsTest::writeAddsMissingKeysAndSections() {
    QCOMPARE(WriteProfileValue("", "Options", "SystemDB", "/p/tvnsys.mda"),
             std::string("[Options]\nSystemDB=/p/tvnsys.mda\n"));
    QCOMPARE(WriteProfileValue("[Path]\nFilePath=a:\n\n[Other]\nX=1", "path", "SndPath", "/s"),
             std::string("[Path]\nFilePath=a:\nSndPath=/s\n\n[Other]\nX=1"));
    QCOMPARE(WriteProfileValue("[Other]\r\nX=1", "Path", "FilePath", "b:"),
             std::string("[Other]\r\nX=1\r\n[Path]\r\nFilePath=b:\r\n"));
}

void SettingsTest::failedWriteLeavesTheFileIntact() {
    TestFolder folder;
    const std::string before = "[Path]\nFilePath=/kept\n";
    TestFolder::write(folder.program() + "/QLMtest.ini", before);
    for (const FileOp op : {FileOp::Write, FileOp::Sync, FileOp::Rename}) {
        const FileSystem files(test::FailOn(op, "QLMtest.ini", ENOSPC));
        QVERIFY(!Settings(files, folder.program()).write("Path", "FilePath", "/lost"));
        QCOMPARE(TestFolder::read(folder.program() + "/QLMtest.ini"), before);
        QVERIFY(!FileSystem().exists(folder.program() + "/QLMtest.ini.new"));
    }
}


// An installed program folder cannot be written by its users: their settings and report go to
// the base directories of the user, and the installation's settings serve as defaults.
void SettingsTest::aReadOnlyProgramFolderKeepsTheUsersFilesInTheirOwnFolders() {
    TestFolder folder;
    const std::string program = folder.program();
    QCOMPARE(ResolveUserFolders(program, true).settings, program);
    QCOMPARE(ResolveUserFolders(program, true).report, program);

    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(folder.root()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.root() + "/config"));
    qputenv("XDG_DATA_HOME", "relative/is/ignored");
    const UserFolders user = ResolveUserFolders(program, false);
    qputenv("XDG_CONFIG_HOME", config);
    qputenv("XDG_DATA_HOME", data);
    qputenv("HOME", home);
    QCOMPARE(user.settings, folder.root() + "/config/quillmere");
    QCOMPARE(user.report, folder.root() + "/.local/share/quillmere");
    for (const std::string& made : {user.settings, user.report}) {
        struct stat st {};
        QCOMPARE(::stat(made.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t{0700});
    }

    const std::string installed = "[Path]\r\nFilePath=/srv/clients\r\nSndPath=/usr/lib/q\r\n";
    TestFolder::write(program + "/QLMtest.ini", installed);
    const FileSystem files;
    Session session(files, program, user);
    QCOMPARE(session.Settings.GetINIFilePath(), std::string("/srv/clients"));
    session.Settings.WriteINIFilePath("/home/me/clients");
    QCOMPARE(session.Settings.GetINIFilePath(), std::string("/home/me/clients"));
    QCOMPARE(session.Settings.GetINISndPath(), std::string("/usr/lib/q"));
    QCOMPARE(TestFolder::read(program + "/QLMtest.ini"), installed);
    QCOMPARE(TestFolder::read(user.settings + "/QLMtest.ini"),
             std::string("[Path]\nFilePath=/home/me/clients\n"));
    QCOMPARE(session.reportFile(), user.report + "/" + ReportFileName);
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "SettingsTest.moc"
