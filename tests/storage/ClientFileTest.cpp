#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "session/CheckedSave.h"
#include "session/ClientList.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/AccessLog.h"
#include "storage/Backup.h"
#include "storage/ClientFile.h"
#include "storage/ClientStore.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "supervisor/DeleteNames.h"
#include "support/EntryProgram.h"
#include "support/Rows.h"

using namespace qlm;
using qlm::test::TestFolder;
namespace fs = std::filesystem;

namespace {

using std::chrono::sys_days;
namespace chr = std::chrono;

QRegularExpression lineOf(const QString& rest) {
    return QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\\t" +
                              QRegularExpression::escape(getpwuid(geteuid())->pw_name) +
                              "\\tquillmere\\t" + QRegularExpression::escape(rest) + "$");
}

QStringList linesIn(const std::string& path) {
    return QString::fromStdString(TestFolder::read(path)).split('\n', Qt::SkipEmptyParts);
}

// 52 records "CLIENT 1"... cut to `length` bytes (-1: no file); faults wait for `armed`.
struct Fixture {
    explicit Fixture(int length, FaultInjector fault = {})
        : files([this, fault](FileOp op, const std::string& path) {
              return armed && fault ? fault(op, path) : 0;
          }),
          session(files, folder.program()) {
        for (int r = 1; r <= 52; ++r) {
            bytes += test::RecordBytes("CLIENT " + std::to_string(r), std::string(109, '1'));
        }
        bytes.resize(std::size_t(std::max(length, 0)));
        if (length >= 0) {
            TestFolder::write(folder.clientFile(), bytes);
        }
        session.Clients.setPatience(std::chrono::milliseconds(100));
    }
    void load() { LoadClients(session, folder.clientFile()); }
    std::string onDisk() const { return TestFolder::read(folder.clientFile()); }

    bool armed = false;
    TestFolder folder;
    std::string bytes;
    FileSystem files;
    Session session;
};

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// "none", a special file, or a length in bytes; the count (-1: refused) and the refusal.
const struct {
    const char* name;
    QString kind;
    int count;
    const char* refusal;
} CountRows[] = {
    {"missing: created empty, owner only", "none", 0, ""},
    {"2.54 records round up", "470", 3, ""},
    {"2.497 records round down", "462", 2, ""},
    {"51 records", "9435", 51, ""},
    {"52 records", "9620", -1, "DATA401.QLM holds 52 records"},
    {"named pipe", "pipe", -1, "a named pipe"},
    {"folder", "folder", -1, "a folder"},
    {"device", "device", -1, "a device"},
};

const struct {
    const char* name;
    FileOp op;
    int err, number;
    bool unavailable;
} WriteRows[] = {
    {"read-only location", FileOp::Open, EROFS, 70, false},
    {"device error on write", FileOp::Write, EIO, 57, true},
    {"disk full", FileOp::Write, ENOSPC, 61, false},
    // The run's first write makes its backup first; without it nothing is written.
    {"backup folder not made", FileOp::MakeFolder, EACCES, 70, false},
    {"medium removed", FileOp::Open, ENOMEDIUM, 71, true},
    {"file gone", FileOp::Open, ENOENT, 53, true},
    {"name too long", FileOp::Open, ENAMETOOLONG, 52, true},
    {"anything else", FileOp::Open, EMFILE, 75, false},
    {"lock held by another program", FileOp(-1), 0, 3260, false},
};

const struct {
    const char* name;
    AccessAction action;
    bool newClient, logFails;
    QString line;
} LogRows[] = {
    {"edit", AccessAction::Edit, false, false, "edit\t2"},
    {"verify", AccessAction::Verify, false, false, "verify\t2"},
    {"new client", AccessAction::Edit, true, false, "new-client\t4"},
    {"no log: the save stands", AccessAction::Edit, false, true, ""},
};

// The copy's records, the name asked for and the refusal ("": restored).
const struct {
    const char* name;
    int records;
    const char* asked;
    const char* refusal;
} RestoreRows[] = {
    {"whole", 1, "DATA401-20261201-090000-000.QLM", ""},
    {"too many records", 52, "DATA401-20261201-090000-000.QLM",
     "not a whole client file: it holds 52 records; a client file holds at most 51"},
    {"outside the backups", 1, "../data/DATA401.QLM", "there is no backup of that name"},
    {"not a backup's name", 1, "DATA401-2026120x-090000-000.QLM",
     "there is no backup of that name"},
};

const std::string FourAndACut = test::RecordBytes("A") + test::RecordBytes("B") +
                                test::RecordBytes("C") + test::RecordBytes("D") +
                                test::RecordBytes("E").substr(0, 135);

// The file, the record asked about and its damage ("": sound).
const struct {
    const char* name;
    std::string bytes;
    int record;
    const char* damage;
} DamageRows[] = {
    {"cut inside the last record", FourAndACut, 5, "it ends after 135 of its 185 bytes"},
    {"the records before it are sound", FourAndACut, 4, ""},
    {"NUL in the name", test::RecordBytes(std::string("AB\0C", 4)), 1,
     "its Name field holds a control character (0x00)"},
    {"answer out of range", test::RecordBytes("G", "1 57"), 1, "the answer to item 4 is \"7\""},
    {"unknown sex code reads as N/A", test::RecordBytes("F").replace(27, 1, "9"), 1, ""},
};

}  // namespace

class ClientFileTest : public QObject {
    Q_OBJECT

private slots:
    void recordCountFollowsTheFile_data() { test::addRows(CountRows); }
    void recordCountFollowsTheFile() {
        const auto& [name, kind, count, refusal] = test::currentRow(CountRows);
        bool number = false;
        const int length = kind.toInt(&number);
        Fixture f(number ? length : -1);
        const std::string path = f.folder.clientFile();
        if (kind == "pipe") {
            ::mkfifo(path.c_str(), 0600);
        } else if (kind == "folder") {
            fs::create_directory(path);
        } else if (kind == "device") {
            fs::create_symlink("/dev/null", path);
        }
        if (count < 0) {
            try {
                f.load();
                QFAIL("it was read");
            } catch (const std::runtime_error& e) {
                QVERIFY2(QString(e.what()).contains(refusal), e.what());
            }
            QCOMPARE(int(f.session.Clients.NumberOfClients()), 0);
            if (number) {
                QCOMPARE(f.onDisk(), f.bytes);
            }
            return;
        }
        f.load();
        QCOMPARE(int(f.session.Clients.NumberOfClients()), count);
        QCOMPARE(int(f.session.CurrentClient), count > 0 ? 1 : 0);
        for (int r = 1; r <= count; ++r) {
            QCOMPARE(Trim(f.session.Clients.entry(r).Name), "CLIENT " + std::to_string(r));
        }
        QCOMPARE(fs::file_size(f.folder.clientFile()), std::uintmax_t(length));
        if (!number) {
            QCOMPARE(modeOf(f.folder.clientFile()), mode_t{0600});
        }
    }

    void saveClientAppendsOverwritesClearsAndFillsAShortRecord() {
        Fixture f(3 * 185);
        f.load();
        ClientRecord fresh;
        fresh.set(&ClientRecord::Name, "NEW CLIENT");
        QCOMPARE(f.session.Clients.NewClient(fresh), 4);
        QCOMPARE(f.session.Clients.CommitNewClient(), 4);
        f.session.Clients.entry(2).set(&ClientRecord::Age, "14");
        SaveClient(f.session, 2);
        ClearClient(f.session);  // the current client, 1
        QCOMPARE(f.session.Clients.entry(1), ClientRecord());
        std::string expected = f.bytes + fresh.toBytes();
        expected.replace(185 + 25, 2, "14");
        QCOMPARE(f.onDisk(), expected);
        SaveClient(f.session, 1);
        expected.replace(0, 185, std::string(185, ' '));
        for (const int n : {0, 5, 52, -1}) {
            QVERIFY_THROWS_EXCEPTION(FileError, SaveClient(f.session, n));
        }
        QCOMPARE(f.onDisk(), expected);

        // A cut record 3 is kept as it is and padded so that it stays damaged.
        for (const int tail : {100, 50}) {
            const std::string cut = f.bytes.substr(0, 2 * 185 + std::size_t(tail));
            TestFolder::write(f.folder.clientFile(), cut);
            f.load();
            f.session.Clients.entry(2).set(&ClientRecord::Age, "15");
            SaveClient(f.session, 2);
            std::string now = cut;
            now.replace(185 + 25, 2, "15");
            QCOMPARE(f.onDisk(), now);
            f.session.Clients.NewClient(fresh);
            QCOMPARE(f.session.Clients.CommitNewClient(), 4);
            QCOMPARE(f.onDisk(),
                     now + std::string(185 - std::size_t(tail), '\0') + fresh.toBytes());
            f.load();
            QCOMPARE(f.session.Clients.damage(3),
                     "it ends after " + std::to_string(tail) + " of its 185 bytes");
            QVERIFY_THROWS_EXCEPTION(FileError, SaveClient(f.session, 3));
            // A location loaded for reading is never written.
            const std::string kept = f.onDisk();
            LoadClients(f.session, f.folder.clientFile(), false);
            QVERIFY_THROWS_EXCEPTION(FileError, SaveClient(f.session, 1));
            QCOMPARE(f.onDisk(), kept);
        }
    }

    void failedWritesReachTheCaller_data() { test::addRows(WriteRows); }
    void failedWritesReachTheCaller() {
        const auto& [name, op, err, number, unavailable] = test::currentRow(WriteRows);
        const auto openHandles = [] {
            const fs::directory_iterator fds("/proc/self/fd");
            return std::distance(begin(fds), end(fds));
        };
        Fixture f(185, test::FailOn(op, op == FileOp::MakeFolder ? "/backup" : "/DATA401.", err));
        f.load();
        f.armed = true;
        f.session.Clients.entry(1).set(&ClientRecord::Name, "CHANGED");
        const auto handles = openHandles();
        std::optional<FileLock> held;  // another open of the lock file, as another program's
        if (int(op) < 0) {
            held.emplace(FileSystem().lock(f.folder.data() + "/DATA401.LCK", {}, {}));
        }
        try {
            SaveClient(f.session, 1);
            QFAIL("the failed write was reported as done");
        } catch (const FileError& e) {
            QCOMPARE(e.number(), number);
            QCOMPARE(e.locationUnavailable(), unavailable);
        }
        held.reset();
        QCOMPARE(openHandles(), handles);
    }

    void damagedRecordsAreNamedAndNeverScored_data() { test::addRows(DamageRows); }
    void damagedRecordsAreNamedAndNeverScored() {
        const auto& [name, bytes, record, text] = test::currentRow(DamageRows);
        const QString damage = QString::fromLatin1(text);
        Fixture f(-1);
        TestFolder::write(f.folder.clientFile(), bytes);
        f.load();
        QCOMPARE(QString::fromStdString(f.session.Clients.damage(record)), damage);
        f.session.CurrentClient = static_cast<std::int16_t>(record);
        if (!damage.isEmpty()) {
            try {
                ScoreCurrentClient(f.session);
                QFAIL("a damaged record was scored");
            } catch (const DataFileError& e) {
                QVERIFY2(QString(e.what()).contains(QString("record %1 is damaged: ").arg(record) +
                                                    damage),
                         e.what());
            }
            QVERIFY(QString::fromStdString(MarkedClientListItem(f.session, record))
                        .endsWith("  (damaged record: " + damage + ")"));
        }
        QCOMPARE(f.onDisk(), bytes);
        test::FakeMessages messages;
        messages.answer(MsgAnswer::Yes).answer(MsgAnswer::OK);
        DelNames(f.session, messages);
        const std::string after = f.onDisk();
        QCOMPARE(after.size(), bytes.size());
        QCOMPARE(RecordBytesOf(after, record) == RecordBytesOf(bytes, record), !damage.isEmpty());
        QCOMPARE(messages.shown.back().text.find("names included: client " +
                                                 std::to_string(record)) != std::string::npos,
                 !damage.isEmpty());
    }

    void aSaveKeepsWhatTheSiteSetUp_data() {
        QTest::addColumn<QString>("link");  // where DATA401.QLM leads; empty: it is the file
        QTest::addColumn<int>("mode");
        QTest::newRow("read by a group") << "" << 0640;
        QTest::newRow("a link to a shared file") << "../shared/clients.qlm" << 0660;
    }
    // A save keeps the file's mode, group and link, and shares the lock file the same way.
    void aSaveKeepsWhatTheSiteSetUp() {
        QFETCH(QString, link);
        QFETCH(int, mode);
        const group* users = ::getgrnam("users");
        if (::geteuid() != 0 || users == nullptr) {
            QSKIP("giving a file another group takes root and a group \"users\"");
        }
        Fixture f(-1);
        const std::string target =
            link.isEmpty() ? f.folder.clientFile() : f.folder.data() + "/" + link.toStdString();
        fs::create_directories(fs::path(target).parent_path());
        TestFolder::write(target, test::RecordBytes("ONE") + test::RecordBytes("TWO"));
        if (!link.isEmpty()) {
            fs::create_symlink(link.toStdString(), f.folder.clientFile());
        }
        QCOMPARE(::chmod(target.c_str(), mode_t(mode)), 0);
        QCOMPARE(::chown(target.c_str(), uid_t(-1), users->gr_gid), 0);
        f.load();
        f.session.Clients.entry(1).set(&ClientRecord::Age, "17");
        SaveClient(f.session, 1);

        QCOMPARE(TestFolder::read(target).substr(25, 2), std::string("17"));
        const std::string folder = fs::path(target).parent_path();
        for (const std::string& file : {target, folder + "/DATA401.LCK"}) {
            struct stat st {};
            QCOMPARE(::stat(file.c_str(), &st), 0);
            QCOMPARE(int(st.st_mode & 0777), file == target ? mode : (mode & 0660) | 0600);
            QCOMPARE(st.st_gid, users->gr_gid);
        }
        QCOMPARE(fs::is_symlink(f.folder.clientFile()), !link.isEmpty());
        for (const std::string& where : {f.folder.data(), folder}) {
            for (const std::string& name : f.files.listFolder(where)) {
                QVERIFY2(name.find(".tmp") == std::string::npos, name.c_str());
            }
        }
    }

    void oneBackupPerRunAndTheNewestTenKept() {
        Fixture f(2 * 185);
        const std::string copies = f.folder.data() + "/backup";
        const auto run = [&](int saves) {  // a run of a program
            Session session(f.files, f.folder.program());
            LoadClients(session, f.folder.clientFile());
            for (int i = 0; i < saves; ++i) {
                session.Clients.entry(1).set(&ClientRecord::Age, std::to_string(11 + i));
                SaveClient(session, 1);
            }
        };
        run(3);
        auto backups = ListBackups(f.files, copies);
        QCOMPARE(backups.size(), std::size_t(1));
        QCOMPARE(TestFolder::read(copies + "/" + backups[0]), f.bytes);
        QCOMPARE(modeOf(copies + "/" + backups[0]), mode_t{0600});
        QCOMPARE(modeOf(copies), mode_t{0700});
        TestFolder::write(copies + "/notes.txt", "kept");
        for (int r = 2; r <= 11; ++r) {
            run(1);
        }
        backups = ListBackups(f.files, copies);
        QCOMPARE(backups.size(), BackupsKept);
        QVERIFY(std::is_sorted(backups.rbegin(), backups.rend()));
        // The oldest went: the newest ten are the files before runs 2 to 11, ages 11 each time.
        QCOMPARE(TestFolder::read(copies + "/" + backups.back()).substr(25, 2), std::string("13"));
        QCOMPARE(TestFolder::read(copies + "/notes.txt"), std::string("kept"));
        TestFolder empty;
        for (int created = 0; created < 2; ++created) {
            QCOMPARE(MakeBackup(f.files, empty.clientFile(), BackupFolderFor(empty.clientFile()),
                                std::chrono::system_clock::now()),
                     std::string());
            QVERIFY(!f.files.exists(empty.data() + "/backup"));
            TestFolder::write(empty.clientFile(), "");
        }
    }

    void restoreTakesOnlyAWholeClientFile_data() { test::addRows(RestoreRows); }
    void restoreTakesOnlyAWholeClientFile() {
        const auto& [name, records, asked, refusal] = test::currentRow(RestoreRows);
        std::string copy;
        for (int r = 0; r < records; ++r) {
            copy += test::RecordBytes("OLD, OLGA");
        }
        Fixture f(2 * 185);
        const std::string backups = f.folder.data() + "/backup";
        fs::create_directory(backups);
        // A file of the odd name is there too: the name alone is refused.
        const std::string stored = asked[0] == '.' ? "DATA401-20261201-090000-000.QLM" : asked;
        TestFolder::write(backups + "/" + stored, copy);
        try {
            const std::string current = RestoreBackup(f.files, f.folder.clientFile(), backups,
                                                      asked, std::chrono::system_clock::now());
            QVERIFY2(*refusal == '\0', "restored");
            QCOMPARE(f.onDisk(), copy);
            QCOMPARE(TestFolder::read(backups + "/" + current), f.bytes);
        } catch (const DataFileError& e) {
            QVERIFY2(std::string(e.what()).ends_with(refusal) && *refusal != '\0', e.what());
            QCOMPARE(f.onDisk(), f.bytes);
            QCOMPARE(f.files.listFolder(backups).size(), std::size_t(1));  // no copy made
        }
    }
    void savesOfTheScreensAreLogged_data() { test::addRows(LogRows); }
    void savesOfTheScreensAreLogged() {
        const auto& [name, action, newClient, logFails, line] = test::currentRow(LogRows);
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
                                  action));
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

    void aFailedLineIsReportedAndTheNextStandsAlone() {
        TestFolder folder;
        bool armed = false;
        const FileSystem files([&](FileOp at, const std::string& path) {
            return armed && at == FileOp::ShortWrite && path.ends_with("access.log") ? ENOSPC : 0;
        });
        const AccessLog log(files, folder.root() + "/user", "quillmere");
        const std::string path = log.record(folder.data(), AccessAction::View, {1});
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

QTEST_GUILESS_MAIN(ClientFileTest)
#include "ClientFileTest.moc"
