#include <QDir>
#include <QProcess>
#include <QtTest>
#include <filesystem>
#include <sstream>

#include "app/Session.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

// "qlm clients" and "qlm report" on a program folder of their own.
class CliCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void clientsListsEveryClientAsTheMainMenuDoes();
    void clientsUsesTheStoredLocationWithoutData();
    void reportWritesTheReportOfADemoClient_data();
    void reportWritesTheReportOfADemoClient();
    void failuresGoToStandardErrorWithAFailingStatus_data();
    void failuresGoToStandardErrorWithAFailingStatus();
};

namespace {

// A program folder with the shipped data files and a data location holding the demo clients.
void install(const TestFolder& folder) {
    const QDir built(QString::fromStdString(TestFolder::builtProgramFolder()));
    for (const QString& name : built.entryList({"*.TXT", "*.CFG"}, QDir::Files)) {
        TestFolder::write(folder.program() + "/" + name.toStdString(),
                          TestFolder::read(built.filePath(name).toStdString()));
    }
    TestFolder::write(folder.clientFile(),
                      TestFolder::read(TestFolder::sourceFolder() + "/demo/DATA401.QLM"));
}

std::string run(const TestFolder& folder, std::vector<std::string> argv) {
    const FileSystem files;
    Session session(files, folder.program());
    std::ostringstream out;
    const cli::CliArgs args = cli::CliArgs::parse(argv);
    if (argv[0] == "clients") {
        cli::RunClients(session, args, out);
    } else {
        cli::RunReport(session, args, out);
    }
    return out.str();
}

}  // namespace

void CliCommandsTest::clientsListsEveryClientAsTheMainMenuDoes() {
    TestFolder folder;
    std::string bytes;
    for (int r = 1; r <= 10; ++r) {
        bytes += test::RecordBytes(r == 10 ? "JOS\xC9 LUNA (DEMO)" : "C" + std::to_string(r));
    }
    TestFolder::write(folder.clientFile(), bytes);
    const QStringList lines =
        QString::fromStdString(run(folder, {"clients", "--data", folder.data()})).split('\n');
    QCOMPARE(lines.size(), 11);  // 10 lines and the empty rest after the last line end
    QCOMPARE(lines[0], "1-C1" + QString(23, ' '));
    QCOMPARE(lines[9], QString::fromUtf8("10-JOSÉ LUNA (DEMO)") + QString(9, ' '));
}

void CliCommandsTest::clientsUsesTheStoredLocationWithoutData() {
    TestFolder folder;
    TestFolder::write(folder.clientFile(), test::RecordBytes("STORED"));
    TestFolder::write(folder.program() + "/QLMtest.ini",
                      "[Path]\nFilePath=" + folder.data() + "\n");
    QCOMPARE(run(folder, {"clients"}), "1-STORED" + std::string(19, ' ') + "\n");
}

void CliCommandsTest::reportWritesTheReportOfADemoClient_data() {
    QTest::addColumn<int>("client");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("publisherCode");  // PUBLISHER.CFG, none when empty
    QTest::addColumn<QString>("publisher");
    QTest::addColumn<QString>("otherPublisher");
    QTest::newRow("client 1") << 1 << "DEMO, ALEX"
                              << ""
                              << "Tamsworth Youth Screening Co., 40 Mill Row"
                              << "Harborline";
    QTest::newRow("client 4, first publisher") << 4 << "TESTCASE, CASEY"
                                               << "1\r\n"
                                               << "Harborline"
                                               << "Tamsworth";
}

void CliCommandsTest::reportWritesTheReportOfADemoClient() {
    QFETCH(int, client);
    QFETCH(QString, name);
    QFETCH(QString, publisherCode);
    QFETCH(QString, publisher);
    QFETCH(QString, otherPublisher);
    TestFolder folder;
    install(folder);
    if (!publisherCode.isEmpty()) {
        TestFolder::write(folder.program() + "/PUBLISHER.CFG", publisherCode.toStdString());
    }
    const std::string path = folder.program() + "/report.prn";
    const std::vector<std::string> argv{"report", "--client", std::to_string(client), "--data",
                                        folder.data()};
    QCOMPARE(run(folder, argv), path + "\n");
    const QString report = QString::fromLatin1(TestFolder::read(path));
    QVERIFY(report.contains("       NAME          : " + name + "\r\n"));
    QVERIFY(report.contains("(QLM TEST # " + QString::number(client) + " )"));
    QVERIFY(report.contains(publisher));
    QVERIFY(!report.contains(otherPublisher));
    QVERIFY(!report.contains(QRegularExpression("[^\r]\n")));

    // --out writes the same bytes elsewhere.
    const std::string other = folder.root() + "/copy.prn";
    std::vector<std::string> withOut = argv;
    withOut.insert(withOut.end(), {"--out", other});
    run(folder, withOut);
    QCOMPARE(TestFolder::read(other), TestFolder::read(path));
}

// Run as a process; `removed` is a file or folder below the test folder's root.
void CliCommandsTest::failuresGoToStandardErrorWithAFailingStatus_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("message");
    QTest::newRow("clients, no data location") << QStringList{"clients"} << "data"
                                               << "Error 76";
    QTest::newRow("no such client") << QStringList{"report", "--client", "9"} << ""
                                    << "--client must be a client";
    QTest::newRow("not a number") << QStringList{"report", "--client", "one"} << ""
                                  << "whole number";
    QTest::newRow("narrative file missing")
        << QStringList{"report", "--client", "1"} << "program/QLMVA.TXT"
        << "QLMVA.TXT: cannot be read";
    QTest::newRow("publisher texts missing")
        << QStringList{"report", "--client", "1"} << "program/PUBLISHERS.TXT"
        << "PUBLISHERS.TXT";
}

void CliCommandsTest::failuresGoToStandardErrorWithAFailingStatus() {
    QFETCH(QStringList, args);
    QFETCH(QString, removed);
    QFETCH(QString, message);
    TestFolder folder;
    install(folder);
    if (!removed.isEmpty()) {
        std::filesystem::remove_all(folder.root() + "/" + removed.toStdString());
    }
    QProcess qlm;
    qlm.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"),
              args + QStringList{"--home", QString::fromStdString(folder.program()), "--data",
                                 QString::fromStdString(folder.data())});
    QVERIFY(qlm.waitForFinished());
    QCOMPARE(qlm.exitCode(), 1);
    QVERIFY(qlm.readAllStandardOutput().isEmpty());
    const QString error = QString::fromUtf8(qlm.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(CliCommandsTest)
#include "CliCommandsTest.moc"
