#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <cerrno>
#include <filesystem>

#include "session/CheckedSave.h"
#include "storage/AccessLog.h"
#include "storage/FileError.h"
#include "support/EntryProgram.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

using std::chrono::sys_days;
namespace chr = std::chrono;

// A line as the log writes it: time, user, program, then `rest`.
QRegularExpression lineOf(const QString& rest) {
    return QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\\t" +
                              QRegularExpression::escape(getpwuid(geteuid())->pw_name) +
                              "\\tquillmere\\t" + QRegularExpression::escape(rest) + "$");
}

QStringList linesIn(const std::string& path) {
    return QString::fromStdString(TestFolder::read(path)).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

// The access log's lines: the saves of the screens, where the lines go when the data location
// cannot be written, and that a failure is never taken for a line written.
class AccessLogTest : public QObject {
    Q_OBJECT

private slots:
    void savesOfTheScreensAreLogged_data() {
        QTest::addColumn<int>("action");  // the screen's; a new client is logged as such
        QTest::addColumn<bool>("newClient");
        QTest::addColumn<bool>("logFails");
        QTest::addColumn<QString>("line");
        QTest::newRow("edit") << int(AccessAction::Edit) << false << false << "edit\t2";
        QTest::newRow("verify") << int(AccessAction::Verify) << false << false << "verify\t2";
        QTest::newRow("new client") << int(AccessAction::Edit) << true << false << "new-client\t4";
        QTest::newRow("no log: the save stands") << int(AccessAction::Edit) << false << true << "";
    }

    void savesOfTheScreensAreLogged() {
        QFETCH(int, action);
        QFETCH(bool, newClient);
        QFETCH(bool, logFails);
        QFETCH(QString, line);
        test::EntryProgram program(
            test::RecordBytes("ONE") + test::RecordBytes("TWO") + test::RecordBytes("THREE"),
            logFails ? test::FailOn(FileOp::Open, "access.log", EIO) : FaultInjector());
        newClient ? program.newClient() : program.editClient(2);
        const ClientRecord before = program.current();
        program.session.Clients.entry(program.session.CurrentClient).set(&ClientRecord::Age, "15");
        if (logFails) {
            program.fake.messages.answer(MsgAnswer::OK);
        }
        QVERIFY(SaveClientChecked(program.session, program.fake.messages,
                                  program.session.CurrentClient, before, {"The client", "Retry."},
                                  AccessAction(action)));
        QCOMPARE(TestFolder::read(program.folder.clientFile()).substr(185 + 25, 2),
                 std::string(newClient ? "  " : "15"));
        const QStringList lines = linesIn(program.folder.data() + "/access.log");
        if (logFails) {
            QVERIFY(lines.isEmpty());
            QVERIFY(program.fake.messages.shown.at(0).text.ends_with(
                "The save is done; only its line in the access log is missing."));
            return;
        }
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lineOf(line).match(lines[0]).hasMatch(), qPrintable(lines[0]));
    }

    // A location that cannot be written has its lines in the user's folder (made owner-only),
    // each naming the location, a tab in its name written as \x09; reading the location's log
    // finds them, from the day asked for on.
    void aReadOnlyLocationLogsInTheUsersFolder() {
        TestFolder folder;
        const std::string location = folder.root() + "/odd\tname";
        std::filesystem::create_directory(location);
        const FileSystem files(test::FailOn(FileOp::Open, "DATA401.LCK", EROFS));
        const std::string user = folder.root() + "/home/.local/share/quillmere";
        const AccessLog log(files, user, "quillmere");
        const auto day = [](int d) { return sys_days(chr::year(2026) / 3 / d) + chr::hours(9); };
        QCOMPARE(log.record(location, AccessAction::View, {1}, day(2)), user + "/access.log");
        log.record(location, AccessAction::Pdf, {2}, day(4));
        log.record(folder.data(), AccessAction::View, {3}, day(5));  // another location
        QVERIFY(!std::filesystem::exists(location + "/access.log"));
        struct stat st {};
        QCOMPARE(::stat(user.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t{0700});

        const std::string named = "\t" + folder.root() + "/odd\\x09name";
        const std::string who = getpwuid(geteuid())->pw_name;
        QCOMPARE(log.read(location + "/", ""),
                 (std::vector<std::string>{
                     "2026-03-02T09:00:00Z\t" + who + "\tquillmere\tview\t1" + named,
                     "2026-03-04T09:00:00Z\t" + who + "\tquillmere\tpdf\t2" + named}));
        QCOMPARE(log.read(location, "2026-03-03").size(), std::size_t(1));
        QCOMPARE(log.read(location, "2026-03-05").size(), std::size_t(0));
    }

    void aFailedLineIsReportedAndTheNextStandsAlone_data() {
        QTest::addColumn<int>("op");
        for (const auto& [op, name] :
             {std::pair{FileOp::Open, "open"}, {FileOp::ShortWrite, "short write"}}) {
            QTest::newRow(name) << int(op);
        }
    }

    void aFailedLineIsReportedAndTheNextStandsAlone() {
        QFETCH(int, op);
        TestFolder folder;
        bool armed = false;
        const FileSystem files([&](FileOp at, const std::string& path) {
            return armed && at == FileOp(op) && path.ends_with("access.log") ? ENOSPC : 0;
        });
        const AccessLog log(files, folder.root() + "/user", "quillmere");
        const std::string path = log.record(folder.data(), AccessAction::View, {1});
        QCOMPARE(path, folder.data() + "/access.log");
        struct stat st {};
        QCOMPARE(::stat(path.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t{0600});
        const std::string earlier = TestFolder::read(path);
        armed = true;
        QVERIFY_THROWS_EXCEPTION(FileError, log.record(folder.data(), AccessAction::Print, {2}));
        armed = false;
        log.record(folder.data(), AccessAction::Export, {1, 2});
        const std::string after = TestFolder::read(path);
        QVERIFY(after.starts_with(earlier));
        QVERIFY2(lineOf("export\t1-2").match(linesIn(path).last()).hasMatch(), after.c_str());
    }
};

QTEST_GUILESS_MAIN(AccessLogTest)
#include "AccessLogTest.moc"
