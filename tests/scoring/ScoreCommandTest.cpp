#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include "app/DataLocation.h"
#include "app/Session.h"
#include "scoring/Scoring.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

// "qlm score" run as a process on a copy of the demo data location, with the shipped tables.
class ScoreCommandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void printsTheScoresOfEveryDemoClient();
    void refusesClientsOutsideTheLocation_data();
    void refusesClientsOutsideTheLocation();

private:
    TestFolder m_folder;
    QProcess m_qlm;

    void run(const QStringList& args) {
        m_qlm.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"),
                    QStringList{"score", "--data", QString::fromStdString(m_folder.data())} + args);
        QVERIFY(m_qlm.waitForFinished());
    }
};

void ScoreCommandTest::initTestCase() {
    QVERIFY(QFile::copy(QString::fromStdString(TestFolder::sourceFolder() + "/demo/DATA401.QLM"),
                        QString::fromStdString(m_folder.clientFile())));
}

void ScoreCommandTest::printsTheScoresOfEveryDemoClient() {
    const FileSystem files;
    Session session(files, TestFolder::builtProgramFolder());
    OpenDataLocation(session, m_folder.data());
    QVERIFY(session.NumberOfClients >= 1);

    for (int client = 1; client <= session.NumberOfClients; ++client) {
        run({"--client", QString::number(client)});
        QCOMPARE(m_qlm.exitCode(), 0);
        QVERIFY(m_qlm.readAllStandardError().isEmpty());
        const QByteArray out = m_qlm.readAllStandardOutput();
        // Whole numbers are printed without a decimal point.
        QVERIFY(!out.contains('.'));

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
        QCOMPARE(QJsonDocument::fromJson(out).object(), expected);
    }
}

void ScoreCommandTest::refusesClientsOutsideTheLocation_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("client 0") << QStringList{"--client", "0"}
                              << "--client must be a client of the data location (1 to 5), not 0";
    QTest::newRow("client 6") << QStringList{"--client", "6"}
                              << "--client must be a client of the data location (1 to 5), not 6";
    QTest::newRow("not a number") << QStringList{"--client", "one"}
                                  << "--client must be a whole number, not \"one\"";
    QTest::newRow("no client") << QStringList{} << "--client is required";
}

void ScoreCommandTest::refusesClientsOutsideTheLocation() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    run(args);
    QCOMPARE(m_qlm.exitCode(), 1);
    QVERIFY(m_qlm.readAllStandardOutput().isEmpty());
    QCOMPARE(QString::fromUtf8(m_qlm.readAllStandardError()), "qlm: " + message + "\n");
}

QTEST_GUILESS_MAIN(ScoreCommandTest)
#include "ScoreCommandTest.moc"
