#include <QtTest>
#include <cerrno>
#include <filesystem>
#include <map>

#include "report/QtReportPrinter.h"
#include "session/Operations.h"
#include "session/ScoreExport.h"
#include "storage/Backup.h"
#include "storage/FileError.h"
#include "support/EntryProgram.h"

using namespace qlm;
using qlm::test::TestFolder;

// Every way the programs write a file, failed at each step of the file layer: none is reported
// as done, and every file stored before keeps its bytes.
class WriteFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void noFailedWriteIsReportedOrChangesAFile_data();
    void noFailedWriteIsReportedOrChangesAFile();
};

namespace {

// A program folder with the shipped texts, the demo clients, settings, an earlier report and
// PDF, and a backup, all of which a failed write must leave as they are.
struct Program : test::EntryProgram {
    explicit Program(FaultInjector faults)
        : EntryProgram(TestFolder::read(TestFolder::sourceFolder() + "/demo/DATA401.QLM"),
                       std::move(faults)) {
        folder.installBuiltDataFiles();
        TestFolder::write(folder.program() + "/QLMtest.ini", "[Path]\nFilePath=/srv/clients\n");
        TestFolder::write(folder.program() + "/report.prn", "EARLIER REPORT\r\n");
        TestFolder::write(pdf(), "%PDF earlier");
        std::filesystem::create_directory(folder.data() + "/backup");
        TestFolder::write(folder.data() + "/backup/" + backup(), test::RecordBytes("OLD, ONE"));
        SetTestSpec(session.Constants);
    }
    std::string pdf() const { return folder.root() + "/out.pdf"; }
    static std::string backup() { return "DATA401-20261201-090000-000.QLM"; }

    // Every file under the test's folder with its bytes.
    std::map<std::string, std::string> stored() const {
        std::map<std::string, std::string> all;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.root())) {
            if (entry.is_regular_file()) {
                all[entry.path().string()] = TestFolder::read(entry.path().string());
            }
        }
        return all;
    }
};

struct WritePath {
    const char* name;
    const char* target;  // what the fault's path contains
};

const WritePath writePaths[] = {{"client record", "/data/DATA401.QLM"},
                                {"new client", "/data/DATA401.QLM"},
                                {"backup before the first write", "/backup/DATA401-2026"},
                                {"restore", "/data/DATA401.QLM"},
                                {"settings", "QLMtest.ini"},
                                {"report", "report.prn"},
                                {"score export", "scores.csv"},
                                {"PDF", "out.pdf"}};

// Runs the write of writePaths[path]; true when it reports the write as done.
bool write(int path, Program& p) {
    try {
        switch (path) {
            case 0:
            case 2:
                p.session.Clients.entry(1).set(&ClientRecord::Age, "17");
                SaveClient(p.session, 1);
                break;
            case 1:
                p.session.Clients.NewClient(ClientRecord::fromBytes(test::RecordBytes("NEW")));
                p.session.Clients.CommitNewClient();
                break;
            case 3:
                p.session.Clients.RestoreBackup(Program::backup(),
                                                std::chrono::system_clock::now());
                break;
            case 4:
                return p.session.Settings.write("Path", "FilePath", "/elsewhere");
            case 5:
                MakeReport(p.session);
                break;
            case 6:
                p.files.replaceFile(p.folder.root() + "/scores.csv", ScoresCsv(p.session));
                break;
            default: {
                QtReportPrinter printer(nullptr, &p.files);
                std::string error;
                const bool done =
                    printer.printToPdf("REPORT\r\n", p.pdf(), error) == PrintOutcome::Printed;
                return done || error.find(p.pdf()) == std::string::npos;  // a failure names it
            }
        }
        return true;
    } catch (const FileError&) {
        return false;
    }
}

}  // namespace

void WriteFaultsTest::noFailedWriteIsReportedOrChangesAFile_data() {
    QTest::addColumn<int>("path");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("err");
    const std::pair<FileOp, const char*> ops[] = {
        {FileOp::Open, "open"}, {FileOp::Write, "write"},   {FileOp::ShortWrite, "short write"},
        {FileOp::Sync, "sync"}, {FileOp::Rename, "rename"}, {FileOp::Close, "close"}};
    const std::pair<int, const char*> errs[] = {
        {EIO, "EIO"}, {ENOSPC, "ENOSPC"}, {EACCES, "EACCES"}};
    for (std::size_t p = 0; p < std::size(writePaths); ++p) {
        for (const auto& [op, opName] : ops) {
            for (const auto& [err, errName] : errs) {
                QTest::addRow("%s, %s, %s", writePaths[p].name, opName, errName)
                    << int(p) << int(op) << err;
            }
        }
    }
}

void WriteFaultsTest::noFailedWriteIsReportedOrChangesAFile() {
    QFETCH(int, path);
    QFETCH(int, op);
    QFETCH(int, err);
    const WritePath& target = writePaths[path];
    bool armed = false;  // the set-up itself writes through the same layer
    Program program([&](FileOp at, const std::string& file) {
        return armed && at == FileOp(op) && file.find(target.target) != std::string::npos ? err : 0;
    });
    const auto before = program.stored();
    armed = true;
    QVERIFY2(!write(path, program), "a failed write was reported as done");
    armed = false;
    const auto after = program.stored();
    for (const auto& [file, bytes] : before) {
        QVERIFY2(after.contains(file) && after.at(file) == bytes, file.c_str());
    }
    // Nothing half-written is left beside the files either.
    for (const auto& [file, bytes] : after) {
        QVERIFY2(
            before.contains(file) || IsBackupName(std::filesystem::path(file).filename().string()),
            file.c_str());
    }
}

QTEST_MAIN(WriteFaultsTest)
#include "WriteFaultsTest.moc"
