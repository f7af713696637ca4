#include <QDir>
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

class ReportCommandTest : public QObject {
    Q_OBJECT

private slots:
    void writesTheReportOfADemoClient_data();
    void writesTheReportOfADemoClient();
    void publisherFileChoosesTheFirstPublisher();
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
    argv.insert(argv.end(), {"--data", folder.data()});
    std::ostringstream out;
    cli::RunReport(session, cli::CliArgs::parse(argv), out);
    return out.str();
}

}  // namespace

void ReportCommandTest::writesTheReportOfADemoClient_data() {
    QTest::addColumn<int>("client");
    QTest::addColumn<QString>("name");
    QTest::newRow("client 1") << 1 << "DEMO, ALEX";
    QTest::newRow("client 4") << 4 << "TESTCASE, CASEY";
}

void ReportCommandTest::writesTheReportOfADemoClient() {
    QFETCH(int, client);
    QFETCH(QString, name);
    TestFolder folder;
    install(folder);
    const std::string path = folder.program() + "/report.prn";
    QCOMPARE(run(folder, {"report", "--client", std::to_string(client)}), path + "\n");
    const QString report = QString::fromLatin1(TestFolder::read(path));
    QVERIFY(report.contains("       NAME          : " + name + "\r\n"));
    QVERIFY(report.contains("(QLM TEST # " + QString::number(client) + " )"));
    QVERIFY(report.contains("Tamsworth Youth Screening Co., 40 Mill Row"));
    QVERIFY(!report.contains(QRegularExpression("[^\r]\n")));

    // --out writes the same bytes elsewhere and leaves the program folder's report alone.
    const std::string other = folder.root() + "/copy.prn";
    run(folder, {"report", "--client", std::to_string(client), "--out", other});
    QCOMPARE(TestFolder::read(other), TestFolder::read(path));
}

void ReportCommandTest::publisherFileChoosesTheFirstPublisher() {
    TestFolder folder;
    install(folder);
    TestFolder::write(folder.program() + "/PUBLISHER.CFG", "1\r\n");
    run(folder, {"report", "--client", "2"});
    const QString report = QString::fromLatin1(TestFolder::read(folder.program() + "/report.prn"));
    QVERIFY(report.contains("Harborline"));
    QVERIFY(!report.contains("Tamsworth"));
}

void ReportCommandTest::failuresGoToStandardErrorWithAFailingStatus_data() {
    QTest::addColumn<QString>("client");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such client") << "9"
                                    << ""
                                    << "--client must be a client";
    QTest::newRow("not a number") << "one"
                                  << ""
                                  << "whole number";
    QTest::newRow("narrative file missing") << "1"
                                            << "QLMVA.TXT"
                                            << "QLMVA.TXT: cannot be read";
    QTest::newRow("publisher texts missing") << "1"
                                             << "PUBLISHERS.TXT"
                                             << "PUBLISHERS.TXT";
}

void ReportCommandTest::failuresGoToStandardErrorWithAFailingStatus() {
    QFETCH(QString, client);
    QFETCH(QString, removed);
    QFETCH(QString, message);
    TestFolder folder;
    install(folder);
    if (!removed.isEmpty()) {
        QFile::remove(QString::fromStdString(folder.program()) + "/" + removed);
    }
    QProcess qlm;
    qlm.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"),
              {"report", "--client", client, "--home", QString::fromStdString(folder.program()),
               "--data", QString::fromStdString(folder.data())});
    QVERIFY(qlm.waitForFinished());
    QCOMPARE(qlm.exitCode(), 1);
    QVERIFY(qlm.readAllStandardOutput().isEmpty());
    const QString error = QString::fromUtf8(qlm.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(ReportCommandTest)
#include "ReportCommandTest.moc"
