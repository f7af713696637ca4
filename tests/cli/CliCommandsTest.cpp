#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <filesystem>
#include <optional>

#include "session/Operations.h"
#include "scoring/Scoring.h"
#include "session/DataLocation.h"
#include "session/Session.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

// "qlm clients", "qlm score" and "qlm report" run as processes on a program folder of their own.
class CliCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder.emplace(); }
    void clientsListsEveryClientAsTheMainMenuDoes();
    void scorePrintsTheScoresOfEveryDemoClient();
    void reportWritesTheReportOfADemoClient_data();
    void reportWritesTheReportOfADemoClient();
    void failuresGoToStandardErrorWithAFailingStatus_data();
    void failuresGoToStandardErrorWithAFailingStatus();

private:
    std::optional<TestFolder> m_folder;  // fresh for every test and row
    int m_status = -1;
    QString m_out;
    QString m_err;

    // Runs the built "qlm" with `args` on the test's program folder (and data location).
    void run(QStringList args, bool withData = true) {
        args << "--home" << QString::fromStdString(m_folder->program());
        if (withData) {
            args << "--data" << QString::fromStdString(m_folder->data());
        }
        QProcess process;
        process.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"), args);
        QVERIFY(process.waitForFinished());
        m_status = process.exitCode();
        m_out = QString::fromUtf8(process.readAllStandardOutput());
        m_err = QString::fromUtf8(process.readAllStandardError());
    }

    // The shipped data files beside the program and the demo clients in the data location.
    void install() {
        const QDir built(QString::fromStdString(TestFolder::builtProgramFolder()));
        for (const QString& name : built.entryList({"*.TXT", "*.CFG"}, QDir::Files)) {
            TestFolder::write(m_folder->program() + "/" + name.toStdString(),
                              TestFolder::read(built.filePath(name).toStdString()));
        }
        TestFolder::write(m_folder->clientFile(),
                          TestFolder::read(TestFolder::sourceFolder() + "/demo/DATA401.QLM"));
    }
};

void CliCommandsTest::clientsListsEveryClientAsTheMainMenuDoes() {
    std::string bytes;
    for (int r = 1; r <= 10; ++r) {
        bytes += test::RecordBytes(r == 10 ? "JOS\xC9 LUNA (DEMO)" : "C" + std::to_string(r));
    }
    TestFolder::write(m_folder->clientFile(), bytes);
    run({"clients"});
    const QStringList lines = m_out.split('\n');
    QCOMPARE(lines.size(), 11);  // 10 lines and the empty rest after the last line end
    QCOMPARE(lines[0], "1-C1" + QString(23, ' '));
    QCOMPARE(lines[9], QString::fromUtf8("10-JOSÉ LUNA (DEMO)") + QString(9, ' '));

    // Without --data the stored location is used.
    TestFolder::write(m_folder->program() + "/QLMtest.ini",
                      "[Path]\nFilePath=" + m_folder->data() + "\n");
    TestFolder::write(m_folder->clientFile(), test::RecordBytes("STORED"));
    run({"clients"}, false);
    QCOMPARE(m_out, "1-STORED" + QString(19, ' ') + "\n");
}

void CliCommandsTest::scorePrintsTheScoresOfEveryDemoClient() {
    install();
    const FileSystem files;
    Session session(files, m_folder->program());
    OpenDataLocation(session, m_folder->data());
    QVERIFY(session.NumberOfClients >= 1);
    for (int client = 1; client <= session.NumberOfClients; ++client) {
        run({"score", "--client", QString::number(client)});
        QCOMPARE(m_status, 0);
        QVERIFY(m_err.isEmpty());
        QVERIFY(!m_out.contains('.'));  // whole numbers without a decimal point

        session.CurrentClient = static_cast<std::int16_t>(client);
        ScoreCurrentClient(session);
        const ScoringState& s = session.Scoring;
        QJsonObject expected;
        const auto scales = [&expected](const char* key, const auto& values) {
            QJsonArray array;
            for (int sc = 1; sc <= 5; ++sc) {
                array.append(double(values[sc]));
            }
            expected[key] = array;
        };
        scales("RawScore", s.RawScore);
        scales("Percentile", s.Percentile);
        scales("OmittedCount", s.OmittedCount);
        scales("DeviantCount", s.DeviantCount);
        QJsonObject items;  // every item on a scale, and no other
        for (int sc = 1; sc <= 5; ++sc) {
            const auto& list = session.Tables.ScaleItems[sc];
            for (int k = 1; k <= list.Count; ++k) {
                items[QString::number(list.Items[k])] = s.ItemScore[list.Items[k]];
            }
        }
        expected["ItemScore"] = items;
        QCOMPARE(QJsonDocument::fromJson(m_out.toUtf8()).object(), expected);
    }
}

void CliCommandsTest::reportWritesTheReportOfADemoClient_data() {
    QTest::addColumn<int>("client");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("publisherCode");  // PUBLISHER.CFG, none when empty
    QTest::addColumn<QString>("publisher");
    QTest::newRow("client 1") << 1 << "DEMO, ALEX"
                              << ""
                              << "Tamsworth Youth Screening Co.";
    QTest::newRow("client 4, first publisher") << 4 << "TESTCASE, CASEY"
                                               << "1\r\n"
                                               << "Harborline";
}

void CliCommandsTest::reportWritesTheReportOfADemoClient() {
    QFETCH(int, client);
    QFETCH(QString, name);
    QFETCH(QString, publisherCode);
    QFETCH(QString, publisher);
    install();
    if (!publisherCode.isEmpty()) {
        TestFolder::write(m_folder->program() + "/PUBLISHER.CFG", publisherCode.toStdString());
    }
    const std::string path = m_folder->program() + "/report.prn";
    run({"report", "--client", QString::number(client)});
    QCOMPARE(m_out, QString::fromStdString(path) + "\n");
    const QString report = QString::fromLatin1(TestFolder::read(path));
    QVERIFY(report.contains("       NAME          : " + name + "\r\n"));
    QVERIFY(report.contains("(QLM TEST # " + QString::number(client) + " )"));
    QVERIFY(report.contains(publisher));
    QVERIFY(!report.contains(QRegularExpression("[^\r]\n")));

    // --out writes the same bytes elsewhere.
    const std::string other = m_folder->root() + "/copy.prn";
    run({"report", "--client", QString::number(client), "--out", QString::fromStdString(other)});
    QCOMPARE(TestFolder::read(other), TestFolder::read(path));
}

// Arguments, a file or folder below the test folder's root to remove, and the error.
void CliCommandsTest::failuresGoToStandardErrorWithAFailingStatus_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* args, const char* removed, const QString& message) {
        QTest::newRow(args) << QString(args) << QString(removed) << message;
    };
    const QString outside = "qlm: --client must be a client of the data location (1 to 5), not ";
    row("clients", "data", "Error 76");
    row("score --client 0", "", outside + "0\n");
    row("score --client 6", "", outside + "6\n");
    row("score --client one", "", "qlm: --client must be a whole number, not \"one\"\n");
    row("score", "", "qlm: --client is required\n");
    row("score --client 1", "program/QLMB.TXT",
        "QLMB.TXT: cannot be read (Error 53: File not found)");
    row("report --client 9", "", "--client must be a client");
    row("report --client 1", "program/QLMVA.TXT", "QLMVA.TXT: cannot be read");
    row("report --client 2", "program/PUBLISHERS.TXT", "PUBLISHERS.TXT");
}

void CliCommandsTest::failuresGoToStandardErrorWithAFailingStatus() {
    QFETCH(QString, args);
    QFETCH(QString, removed);
    QFETCH(QString, message);
    install();
    if (!removed.isEmpty()) {
        std::filesystem::remove_all(m_folder->root() + "/" + removed.toStdString());
    }
    run(args.split(' '));
    QCOMPARE(m_status, 1);
    QVERIFY(m_out.isEmpty());
    QVERIFY2(m_err.contains(message), qPrintable(m_err));
}

QTEST_GUILESS_MAIN(CliCommandsTest)
#include "CliCommandsTest.moc"
