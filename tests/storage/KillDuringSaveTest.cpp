#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <cstdio>
#include <filesystem>
#include <random>

#include "session/Operations.h"
#include "session/Session.h"
#include "storage/ClientFile.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

// Programs that save at the same moment, or are killed while they save: every record in the
// file is one a writer meant, whole, and no save reported as done is lost.
class KillDuringSaveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyRecordIsOldOrNewAfterAKill();
    void twoWritersAtOnceKeepBothChanges_data();
    void twoWritersAtOnceKeepBothChanges();
};

namespace {

// The two records that cross a 4 KiB page boundary (bytes 4070 to 4254 and 8140 to 8324).
constexpr int AcrossFirstPage = 23;
constexpr int AcrossSecondPage = 45;
constexpr int StartRecords = 20;

// Record r in version v: every field depends on v, so a record torn between two versions
// cannot match either.
std::string recordBytes(int r, int v) {
    ClientRecord record;
    char name[32];
    std::snprintf(name, sizeof name, "R%02d V%08d", r, v);
    record.set(&ClientRecord::Name, name);
    record.set(&ClientRecord::Age, std::to_string(11 + v % 80));
    std::string answers;
    for (int i = 0; i < 109; ++i) {
        answers += static_cast<char>('0' + (v + i) % 6);
    }
    record.set(&ClientRecord::Answers, answers);
    record.set(&ClientRecord::EditCount, std::to_string(v % 4));
    return record.toBytes();
}

std::string recordsUpTo(int count, int v) {
    std::string bytes;
    for (int r = 1; r <= count; ++r) {
        bytes += recordBytes(r, v);
    }
    return bytes;
}

// The version a whole record r holds, or -1 for a torn or foreign one.
int versionOf(std::string_view bytes, int r) {
    int number = 0;
    int version = -1;
    const std::string name(bytes.substr(0, 13));
    if (std::sscanf(name.c_str(), "R%2d V%8d", &number, &version) != 2 || number != r ||
        recordBytes(r, version) != bytes) {
        return -1;
    }
    return version;
}

// The names of what interrupted writes left in the data location and its backup folder.
QStringList temporaries(const std::string& data) {
    QStringList found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp") != std::string::npos) {
            found << QString::fromStdString(entry.path().string());
        }
    }
    return found;
}

// Blocks until `count` bytes came through `fd`; false when the writer ended before.
bool readProgress(int fd, int count) {
    for (char byte; count > 0; --count) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 60000) != 1 || ::read(fd, &byte, 1) != 1) {
            return false;
        }
    }
    return true;
}

// The child of the kill test: saves records for ever, telling `progress` after each save,
// growing the file to 51 records first, then mostly the two that cross a page boundary.
[[noreturn]] void saveForever(const std::string& data, unsigned seed, int progress) {
    try {
        const FileSystem files;
        Session session(files, data);
        LoadClients(session, data + "/DATA401.QLM");
        ClientStore& store = session.Clients;
        int version = 0;
        for (int r = 1; r <= store.NumberOfClients(); ++r) {
            version = std::max(version, versionOf(store.entry(r).toBytes(), r));
        }
        std::mt19937 random(seed);
        for (;;) {
            ++version;
            const int count = store.NumberOfClients();
            if (count < Session::MaxClients) {
                store.NewClient(ClientRecord::fromBytes(recordBytes(count + 1, version)));
                store.CommitNewClient();
            } else {
                const int pick = int(random() % 4);
                const int r = pick == 0   ? AcrossFirstPage
                              : pick == 1 ? AcrossSecondPage
                                          : 1 + int(random() % Session::MaxClients);
                store.entry(r) = ClientRecord::fromBytes(recordBytes(r, version));
                store.SaveClient(r);
            }
            if (::write(progress, "+", 1) != 1) {
                _exit(4);
            }
        }
    } catch (...) {
        _exit(3);
    }
}

}  // namespace

void KillDuringSaveTest::initTestCase() {
    // Memory-backed where there is such a folder: kills and races are about processes, not
    // the disk, and there they are both quicker and closer together.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
        qputenv("TMPDIR", "/dev/shm");
    }
}

void KillDuringSaveTest::everyRecordIsOldOrNewAfterAKill() {
    TestFolder folder;
    const std::string client = folder.clientFile();
    std::mt19937 random(20261207);
    for (int round = 1; round <= 240; ++round) {
        // Half the runs grow a short file, the other half rewrite a full one.
        const bool growing = round % 2 == 1;
        TestFolder::write(client, recordsUpTo(growing ? StartRecords : Session::MaxClients, 0));
        const QStringList leftBefore = temporaries(folder.data());
        int progress[2];
        QCOMPARE(::pipe(progress), 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(progress[0]);
            saveForever(folder.data(), unsigned(round), progress[1]);
        }
        ::close(progress[1]);
        // Killed after a number of finished saves, then a moment into the next one, however
        // fast or slow this build saves.
        const int saves = 1 + int(random() % 8);
        const bool reported = readProgress(progress[0], saves);
        usleep(random() % 3000);
        ::kill(child, SIGKILL);
        ::close(progress[0]);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(reported && WIFSIGNALED(status), "the saving process ended by itself");
        // Its start removed what the run before it left.
        for (const QString& left : leftBefore) {
            QVERIFY2(!QFile::exists(left), qPrintable(left));
        }

        const std::string bytes = TestFolder::read(client);
        const QString where = QString("round %1").arg(round);
        QVERIFY2(bytes.size() % ClientRecord::Size == 0, qPrintable(where));
        const int records = int(bytes.size() / ClientRecord::Size);
        int newest = 0;
        for (int r = 1; r <= records; ++r) {
            const int version = versionOf(RecordBytesOf(bytes, r), r);
            QVERIFY2(version >= 0, qPrintable(where + QString(": record %1 is torn").arg(r)));
            newest = std::max(newest, version);
        }
        // Every save reported as done is in the file: save v wrote version v.
        QVERIFY2(growing ? records >= StartRecords + saves : newest >= saves, qPrintable(where));
    }
    // The next start of a program removes whatever the last kill left.
    const FileSystem files;
    Session next(files, folder.program());
    LoadClients(next, client);
    QCOMPARE(temporaries(folder.data()), QStringList());
}

namespace {

constexpr int Clients = 10;
constexpr int Rounds = 100;
// The backup restored: record 7 as another program left it after an edit (its edit count is
// higher, so it is still the same client).
const char* const Restored = "DATA401-20000101-000000-000.QLM";

std::string restoredFile() {
    std::string bytes = recordsUpTo(Clients, 0);
    ClientRecord edited = ClientRecord::fromBytes(RecordBytesOf(bytes, 7));
    edited.set(&ClientRecord::Age, "77");
    edited.set(&ClientRecord::EditCount, "3");
    bytes.replace(6 * ClientRecord::Size, ClientRecord::Size, edited.toBytes());
    return bytes;
}

// A desktop program's save: loads the location, says so on `ready`, waits for `go` (a pipe)
// to close, then saves record r in version 1. Exits 0 when the save was reported as done.
pid_t startSave(const std::string& data, int r, int ready, const int go[2]) {
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    ::close(go[1]);
    try {
        const FileSystem files;
        Session session(files, data);
        LoadClients(session, data + "/DATA401.QLM");
        char byte = 0;
        if (::write(ready, "+", 1) != 1 || ::read(go[0], &byte, 1) != 0) {
            _exit(4);
        }
        session.Clients.entry(r) = ClientRecord::fromBytes(recordBytes(r, 1));
        SaveClient(session, r);
        _exit(0);
    } catch (const FileError&) {
        _exit(1);
    } catch (...) {
        _exit(3);
    }
}

pid_t startRestore(const TestFolder& folder) {
    const pid_t child = fork();
    if (child == 0) {
        const std::string qlm = TestFolder::builtProgramFolder() + "/qlm";
        ::freopen("/dev/null", "w", stdout);
        ::execl(qlm.c_str(), "qlm", "backup", "restore", Restored, "--data", folder.data().c_str(),
                "--home", folder.program().c_str(), nullptr);
        _exit(5);
    }
    return child;
}

int exitCode(pid_t child) {
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

void KillDuringSaveTest::twoWritersAtOnceKeepBothChanges_data() {
    QTest::addColumn<bool>("restore");
    QTest::newRow("a save and a backup restore") << true;
    QTest::newRow("two saves of different records") << false;
}

void KillDuringSaveTest::twoWritersAtOnceKeepBothChanges() {
    QFETCH(bool, restore);
    std::mt19937 random(restore ? 1 : 2);
    const std::string mine = recordBytes(3, 1);
    for (int round = 1; round <= Rounds; ++round) {
        TestFolder folder;
        const std::string before = recordsUpTo(Clients, 0);
        TestFolder::write(folder.clientFile(), before);
        std::filesystem::create_directory(folder.data() + "/backup");
        TestFolder::write(folder.data() + "/backup/" + Restored, restoredFile());

        int ready[2];
        int go[2];
        QCOMPARE(::pipe2(ready, O_CLOEXEC), 0);
        QCOMPARE(::pipe2(go, O_CLOEXEC), 0);
        const pid_t save = startSave(folder.data(), 3, ready[1], go);
        const pid_t other =
            restore ? startRestore(folder) : startSave(folder.data(), 5, ready[1], go);
        QVERIFY(save > 0 && other > 0);
        ::close(ready[1]);
        ::close(go[0]);
        QVERIFY(readProgress(ready[0], restore ? 1 : 2));
        // Released together; against the restore at a moment somewhere in its run.
        usleep(restore ? random() % 20000 : 0);
        ::close(go[1]);
        ::close(ready[0]);
        const int saved = exitCode(save);
        const int otherDone = exitCode(other);
        QVERIFY2(saved == 0 || saved == 1, qPrintable(QString::number(saved)));
        QCOMPARE(otherDone, 0);

        const std::string after = TestFolder::read(folder.clientFile());
        const QString where = QString("round %1").arg(round);
        if (!restore) {
            std::string both = before;
            both.replace(2 * ClientRecord::Size, ClientRecord::Size, mine);
            both.replace(4 * ClientRecord::Size, ClientRecord::Size, recordBytes(5, 1));
            QVERIFY2(saved == 0 && after == both, qPrintable(where));
            continue;
        }
        std::string restoredThenSaved = restoredFile();
        restoredThenSaved.replace(2 * ClientRecord::Size, ClientRecord::Size, mine);
        if (after == restoredThenSaved) {
            QVERIFY2(saved == 0, qPrintable(where));
            continue;
        }
        QVERIFY2(after == restoredFile(), qPrintable(where));
        if (saved == 0) {
            // Saved before the restore: the copy the restore made of the file it replaced
            // holds it.
            bool kept = false;
            for (const std::string& name : FileSystem().listFolder(folder.data() + "/backup")) {
                kept = kept || TestFolder::read(folder.data() + "/backup/" + name)
                                       .substr(2 * ClientRecord::Size, ClientRecord::Size) == mine;
            }
            QVERIFY2(kept, qPrintable(where));
        }
    }
}

QTEST_GUILESS_MAIN(KillDuringSaveTest)
#include "KillDuringSaveTest.moc"
