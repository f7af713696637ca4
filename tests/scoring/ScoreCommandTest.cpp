#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <memory>

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
    void init();
    void printsTheScoresOfEveryDemoClient();
    void refusesClientsOutsideTheLocation_data();
    void refusesClientsOutsideTheLocation();

private:
    struct Run {
        int status;
        QByteArray out;
        QByteArray err;
    };
    Run qlm(const QStringList& args) const;

    std::unique_ptr<TestFolder> m_folder;
};

void ScoreCommandTest::init() {
    m_folder = std::make_unique<TestFolder>();
    QVERIFY(QFile::copy(QString::fromStdString(TestFolder::sourceFolder() + "/demo/DATA401.QLM"),
                        QString::fromStdString(m_folder->clientFile())));
}

ScoreCommandTest::Run ScoreCommandTest::qlm(const QStringList& args) const {
    QProcess process;
    process.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"),
                  QStringList{"score", "--data", QString::fromStdString(m_folder->data())} + args);
    if (!process.waitForFinished()) {
        return {-1, {}, {}};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void ScoreCommandTest::printsTheScoresOfEveryDemoClient() {
    const FileSystem files;
    Session session(files, TestFolder::builtProgramFolder());
    OpenDataLocation(session, m_folder->data());
    QVERIFY(session.NumberOfClients >= 1);

    for (int client = 1; client <= session.NumberOfClients; ++client) {
        const Run run = qlm({"--client", QString::number(client)});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json.keys(), (QStringList{"DeviantCount", "ItemScore", "OmittedCount",
                                           "Percentile", "RawScore"}));

        session.CurrentClient = static_cast<std::int16_t>(client);
        ScoreCurrentClient(session);
        const ScoringState& s = session.Scoring;
        for (int sc = 1; sc <= 5; ++sc) {
            QCOMPARE(json["RawScore"].toArray().size(), 5);
            QCOMPARE(json["RawScore"][sc - 1].toDouble(), s.RawScore[sc]);
            QCOMPARE(json["Percentile"][sc - 1].toInt(-1), int(s.Percentile[sc]));
            QCOMPARE(json["OmittedCount"][sc - 1].toInt(-1), s.OmittedCount[sc]);
            QCOMPARE(json["DeviantCount"][sc - 1].toInt(-1), int(s.DeviantCount[sc]));
        }
        // Whole numbers are printed without a decimal point.
        QVERIFY(!run.out.contains('.'));

        const QJsonObject items = json["ItemScore"].toObject();
        int listed = 0;
        for (int item = 1; item <= 109; ++item) {
            bool onScale = false;
            for (int sc = 1; sc <= 5; ++sc) {
                const auto& list = session.Tables.ScaleItems[sc];
                onScale = onScale ||
                          std::find(list.Items.begin() + 1, list.Items.begin() + 1 + list.Count,
                                    item) != list.Items.begin() + 1 + list.Count;
            }
            QCOMPARE(items.contains(QString::number(item)), onScale);
            if (onScale) {
                ++listed;
                QCOMPARE(items[QString::number(item)].toInt(-1), int(s.ItemScore[item]));
            }
        }
        QCOMPARE(items.size(), listed);
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
    const Run run = qlm(args);
    QCOMPARE(run.status, 1);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QString::fromUtf8(run.err), "qlm: " + message + "\n");
}

QTEST_GUILESS_MAIN(ScoreCommandTest)
#include "ScoreCommandTest.moc"
