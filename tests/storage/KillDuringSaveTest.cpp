#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <array>
#include <cstdio>
#include <random>

#include "session/Operations.h"
#include "session/Session.h"
#include "storage/ClientFile.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

// A program killed at any moment while it saves leaves a client file whose every record is
// whole: the one before the save or the one after, never a mixture, and never a cut file.
class KillDuringSaveTest : public QObject {
    Q_OBJECT

private slots:
    void everyRecordIsOldOrNewAfterAKill();
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

// The child: saves records for ever, growing the file to 51 records first, then mostly the
// two that cross a page boundary.
[[noreturn]] void saveForever(const std::string& data, unsigned seed) {
    try {
        const FileSystem files;
        Session session(files, data);
        session.DataPath = data;
        session.ClientFileName = data + "/DATA401.QLM";
        LoadClients(session);
        int version = 0;
        for (int r = 1; r <= session.NumberOfClients; ++r) {
            version = std::max(version, versionOf(session.ClientTable[std::size_t(r)].toBytes(), r));
        }
        std::mt19937 random(seed);
        for (;;) {
            ++version;
            int r = session.NumberOfClients + 1;
            if (r > Session::MaxClients) {
                const int pick = int(random() % 4);
                r = pick == 0 ? AcrossFirstPage
                    : pick == 1 ? AcrossSecondPage
                                : 1 + int(random() % Session::MaxClients);
            }
            session.ClientTable[std::size_t(r)] = ClientRecord::fromBytes(recordBytes(r, version));
            SaveClient(session, r);
            session.NumberOfClients = std::int16_t(std::max<int>(session.NumberOfClients, r));
        }
    } catch (...) {
        _exit(3);
    }
}

}  // namespace

void KillDuringSaveTest::everyRecordIsOldOrNewAfterAKill() {
    TestFolder folder;
    const std::string client = folder.clientFile();
    std::string start;
    for (int r = 1; r <= StartRecords; ++r) {
        start += recordBytes(r, 0);
    }
    TestFolder::write(client, start);

    std::mt19937 random(20261207);
    std::array<int, Session::MaxClients + 1> seen{};
    int grown = 0;
    for (int round = 1; round <= 240; ++round) {
        if (round % 60 == 0) {  // start growing again from a short file
            TestFolder::write(client, start);
            seen.fill(0);
        }
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            saveForever(folder.data(), unsigned(round));
        }
        usleep(200 + random() % 12000);
        ::kill(child, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status), "the saving process ended by itself");

        const std::string bytes = TestFolder::read(client);
        QVERIFY2(bytes.size() % ClientRecord::Size == 0, qPrintable(QString::number(bytes.size())));
        const int records = int(bytes.size() / ClientRecord::Size);
        QVERIFY(records >= StartRecords && records <= Session::MaxClients);
        grown += records > StartRecords && records < Session::MaxClients;
        for (int r = 1; r <= records; ++r) {
            const int version = versionOf(
                std::string_view(bytes).substr(std::size_t(r - 1) * ClientRecord::Size,
                                               ClientRecord::Size),
                r);
            QVERIFY2(version >= seen[std::size_t(r)],
                     qPrintable(QString("round %1: record %2 is torn or older").arg(round).arg(r)));
            seen[std::size_t(r)] = version;
        }
    }
    // The kills fell while the file was growing, too.
    QVERIFY(grown > 0);
}

QTEST_GUILESS_MAIN(KillDuringSaveTest)
#include "KillDuringSaveTest.moc"
