#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>

#include "session/Operations.h"
#include "session/Session.h"
#include "storage/ClientFile.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

constexpr std::size_t Size = ClientRecord::Size;

// Every field depends on v: a record torn between two versions matches neither.
std::string recordBytes(int r, int v) {
    ClientRecord record;
    char name[32];
    std::snprintf(name, sizeof name, "R%02d V%08d", r, v);
    record.set(&ClientRecord::Name, name);
    record.set(&ClientRecord::Age, std::to_string(11 + v % 80));
    record.set(&ClientRecord::Answers, std::string(109, char('0' + v % 6)));
    record.set(&ClientRecord::EditCount, std::to_string(v % 4));
    return record.toBytes();
}

std::string recordsUpTo(int count, int v) {
    return count == 0 ? "" : recordsUpTo(count - 1, v) + recordBytes(count, v);
}

int versionOf(std::string_view bytes, int r) {
    int version = -1;
    std::sscanf(std::string(bytes.substr(0, 13)).c_str() + 5, "%8d", &version);
    return version >= 0 && recordBytes(r, version) == bytes ? version : -1;
}

QStringList temporaries(const std::string& data) {
    QStringList found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(data)) {
        if (entry.path().filename().string().find(".tmp") != std::string::npos) {
            found << QString::fromStdString(entry.path().string());
        }
    }
    return found;
}

bool readProgress(int fd, int count) {
    for (char byte; count > 0; --count) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, 60000) != 1 || ::read(fd, &byte, 1) != 1) {
            return false;
        }
    }
    return true;
}

// `write` in a child, after `ready` is told and `go` closes; exits 0 when done, 1 on a FileError.
pid_t startProgram(const std::string& data, const std::function<void(Session&)>& write,
                   int ready = -1, const int* go = nullptr) {
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    try {
        const FileSystem files;
        Session session(files, data);
        LoadClients(session, data + "/DATA401.QLM");
        char byte = 0;
        if (go != nullptr &&
            (::close(go[1]) != 0 || ::write(ready, "+", 1) != 1 || ::read(go[0], &byte, 1) != 0)) {
            _exit(4);
        }
        write(session);
        _exit(0);
    } catch (const FileError&) {
        _exit(1);
    } catch (...) {
        _exit(3);
    }
}

int exitCode(pid_t child) {
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

class KillDuringSaveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Races are about processes, not the disk: in memory they come closer together.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
            qputenv("TMPDIR", "/dev/shm");
        }
    }

    // Records 23 and 45 cross a 4 KiB page boundary, so most saves take them.
    void everyRecordIsOldOrNewAfterAKill() {
        TestFolder folder;
        std::mt19937 random(20261207);
        for (int round = 1; round <= 240; ++round) {
            const bool growing = round % 2 == 1;
            TestFolder::write(folder.clientFile(), recordsUpTo(growing ? 20 : 51, 0));
            const QStringList leftBefore = temporaries(folder.data());
            int progress[2];
            QCOMPARE(::pipe(progress), 0);
            const pid_t child = startProgram(folder.data(), [&](Session& session) {
                ::close(progress[0]);
                ClientStore& store = session.Clients;
                int version = 0;  // the file's records are all version 0
                std::mt19937 pick{unsigned(round)};
                for (;;) {
                    const int count = store.NumberOfClients();
                    if (count < Session::MaxClients) {
                        store.NewClient(ClientRecord::fromBytes(recordBytes(count + 1, ++version)));
                        store.CommitNewClient();
                    } else {
                        const int r = std::array{23, 45, 0, 0}[pick() % 4];
                        const int n = r != 0 ? r : 1 + int(pick() % Session::MaxClients);
                        store.entry(n) = ClientRecord::fromBytes(recordBytes(n, ++version));
                        store.SaveClient(n);
                    }
                    if (::write(progress[1], "+", 1) != 1) {
                        _exit(4);
                    }
                }
            });
            ::close(progress[1]);
            // Killed a moment after some finished saves, however fast this build saves.
            const int saves = 1 + int(random() % 8);
            const bool reported = readProgress(progress[0], saves);
            usleep(random() % 600);
            ::kill(child, SIGKILL);
            ::close(progress[0]);
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(reported && WIFSIGNALED(status), "the saving process ended by itself");
            for (const QString& left : leftBefore) {
                QVERIFY2(!QFile::exists(left), qPrintable(left));
            }

            const std::string bytes = TestFolder::read(folder.clientFile());
            const QString where = QString("round %1").arg(round);
            QVERIFY2(bytes.size() % Size == 0, qPrintable(where));
            const int records = int(bytes.size() / Size);
            int newest = 0;
            for (int r = 1; r <= records; ++r) {
                const int version = versionOf(RecordBytesOf(bytes, r), r);
                QVERIFY2(version >= 0, qPrintable(where + QString(": record %1 is torn").arg(r)));
                newest = std::max(newest, version);
            }
            // Every save reported as done is in the file: save v wrote version v.
            QVERIFY2(growing ? records >= 20 + saves : newest >= saves, qPrintable(where));
        }
        const FileSystem files;
        Session next(files, folder.program());
        LoadClients(next, folder.clientFile());
        QCOMPARE(temporaries(folder.data()), QStringList());
    }

    void twoWritersAtOnceKeepBothChanges_data() {
        QTest::addColumn<bool>("restore");
        QTest::newRow("a save and a backup restore") << true;
        QTest::newRow("two saves of different records") << false;
    }
    // Record 7 in the backup is an edit of it (a higher edit count): still the same client.
    void twoWritersAtOnceKeepBothChanges() {
        QFETCH(bool, restore);
        std::mt19937 random(restore ? 1 : 2);
        const std::string before = recordsUpTo(10, 0);
        std::string restored = before;
        ClientRecord edited = ClientRecord::fromBytes(RecordBytesOf(before, 7));
        edited.set(&ClientRecord::Age, "77");
        edited.set(&ClientRecord::EditCount, "3");
        restored.replace(6 * Size, Size, edited.toBytes());
        const auto saving = [](int r) {
            return [r](Session& session) {
                session.Clients.entry(r) = ClientRecord::fromBytes(recordBytes(r, 1));
                SaveClient(session, r);
            };
        };
        for (int round = 1; round <= 100; ++round) {
            TestFolder folder;
            TestFolder::write(folder.clientFile(), before);
            std::filesystem::create_directory(folder.data() + "/backup");
            TestFolder::write(folder.data() + "/backup/DATA401-20000101-000000-000.QLM", restored);
            int ready[2], go[2];
            QCOMPARE(::pipe2(ready, O_CLOEXEC), 0);
            QCOMPARE(::pipe2(go, O_CLOEXEC), 0);
            const pid_t save = startProgram(folder.data(), saving(3), ready[1], go);
            // Released together, the restore a moment later or sooner, somewhere in the save's run.
            const auto restoring = [delay = useconds_t(random() % 600)](Session& session) {
                usleep(delay);
                session.Clients.RestoreBackup("DATA401-20000101-000000-000.QLM",
                                              std::chrono::system_clock::now());
            };
            const pid_t other = startProgram(
                folder.data(), restore ? std::function<void(Session&)>(restoring) : saving(5),
                ready[1], go);
            ::close(ready[1]);
            ::close(go[0]);
            QVERIFY(readProgress(ready[0], 2));
            ::close(go[1]);
            ::close(ready[0]);
            const int saved = exitCode(save);
            QVERIFY2(saved == 0 || saved == 1, qPrintable(QString::number(saved)));
            QCOMPARE(exitCode(other), 0);

            // Both changes, or (the save first) the file the restore brought back.
            const std::string after = TestFolder::read(folder.clientFile());
            const QString where = QString("round %1").arg(round);
            const std::string mine = recordBytes(3, 1);
            std::string both = restore ? restored : before;
            both.replace(2 * Size, Size, mine);
            if (!restore) {
                both.replace(4 * Size, Size, recordBytes(5, 1));
            }
            if (after == both) {
                QVERIFY2(saved == 0, qPrintable(where));
                continue;
            }
            QVERIFY2(restore && after == restored, qPrintable(where));
            if (saved == 0) {
                // Saved before the restore: the restore's copy of the old file holds it.
                bool kept = false;
                for (const std::string& name : FileSystem().listFolder(folder.data() + "/backup")) {
                    kept = kept || TestFolder::read(folder.data() + "/backup/" + name)
                                           .substr(2 * Size, Size) == mine;
                }
                QVERIFY2(kept, qPrintable(where));
            }
        }
    }
};

QTEST_GUILESS_MAIN(KillDuringSaveTest)
#include "KillDuringSaveTest.moc"
