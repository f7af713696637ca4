#include <QProcess>
#include <QtTest>
#include <sstream>

#include "app/Session.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

class ClientsCommandTest : public QObject {
    Q_OBJECT

private slots:
    void listsEveryClientAsTheMainMenuDoes();
    void usesTheStoredLocationWithoutData();
    void errorsGoToStandardErrorWithAFailingStatus();
};

namespace {

std::string run(Session& session, std::vector<std::string> argv) {
    std::ostringstream out;
    cli::RunClients(session, cli::CliArgs::parse(argv), out);
    return out.str();
}

}  // namespace

void ClientsCommandTest::listsEveryClientAsTheMainMenuDoes() {
    TestFolder folder;
    std::string bytes;
    for (int r = 1; r <= 12; ++r) {
        bytes += test::RecordBytes(r == 10 ? "JOS\xC9 LUNA (DEMO)" : "C" + std::to_string(r));
    }
    TestFolder::write(folder.clientFile(), bytes);
    const FileSystem files;
    Session session(files, folder.program());
    const std::string out = run(session, {"clients", "--data", folder.data()});
    const QStringList lines = QString::fromStdString(out).split('\n');
    QCOMPARE(lines.size(), 13);  // 12 lines and the empty rest after the last line end
    QCOMPARE(lines[0], "1-C1" + QString(23, ' '));
    QCOMPARE(lines[0].size(), 27);
    QCOMPARE(lines[11], "12-C12" + QString(22, ' '));
    QCOMPARE(lines[11].size(), 28);
    QCOMPARE(lines[9], QString::fromUtf8("10-JOSÉ LUNA (DEMO)") + QString(9, ' '));
}

void ClientsCommandTest::usesTheStoredLocationWithoutData() {
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("STORED"));
    TestFolder::write(folder.program() + "/QLMtest.ini", "[Path]\nFilePath=" + folder.data() + "\n");
    const FileSystem files;
    Session session(files, folder.program());
    QCOMPARE(run(session, {"clients"}), "1-STORED" + std::string(19, ' ') + "\n");
}

void ClientsCommandTest::errorsGoToStandardErrorWithAFailingStatus() {
    TestFolder folder;
    QProcess qlm;
    qlm.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"),
              {"clients", "--home", QString::fromStdString(folder.program()), "--data",
               QString::fromStdString(folder.root() + "/missing")});
    QVERIFY(qlm.waitForFinished());
    QCOMPARE(qlm.exitCode(), 1);
    QVERIFY(qlm.readAllStandardOutput().isEmpty());
    QVERIFY(qlm.readAllStandardError().contains("Error 76"));
}

QTEST_GUILESS_MAIN(ClientsCommandTest)
#include "ClientsCommandTest.moc"
