#include <QtTest>

#include "ReportFixture.h"
#include "report/Sections.h"

using namespace qlm;
using qlm::test::AtColumn;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;

class SummaryPageTest : public QObject {
    Q_OBJECT

private slots:
    void headerIdentifiesTheClient_data();
    void headerIdentifiesTheClient();
    void barGrowsByOneStarPerTwoAndAHalfPercentiles_data();
    void barGrowsByOneStarPerTwoAndAHalfPercentiles();
    void percentileEndsInColumn30_data();
    void percentileEndsInColumn30();
    void truthfulnessMarksAndFootnotes_data();
    void truthfulnessMarksAndFootnotes();
    void predictionScoreWeighsEveryInput_data();
    void predictionScoreWeighsEveryInput();
    void predictionLineIsCentredAboutColumn42_data();
    void predictionLineIsCentredAboutColumn42();
};

namespace {

// The profile's rows for one scale state, and the writer's count.
QStringList profile(ReportFixture& f, int* reportLine = nullptr) {
    ReportWriter out = f.writer();
    out.ReportLine = 20;
    PrintProfile(out, f.session, 1, 5);
    if (reportLine != nullptr) {
        *reportLine = out.ReportLine;
    }
    return ReportLines(out.bytes());
}

}  // namespace

void SummaryPageTest::headerIdentifiesTheClient_data() {
    QTest::addColumn<int>("truthfulness");
    QTest::addColumn<QString>("sex");
    QTest::addColumn<QString>("race");
    QTest::addColumn<QString>("gender");
    QTest::addColumn<QString>("ethnicity");
    QTest::addColumn<int>("leadingEmpty");
    QTest::newRow("female hispanic") << 35 << "2"
                                     << "3"
                                     << "Female"
                                     << "Hispanic       " << 1;
    QTest::newRow("male native american") << 94 << "1"
                                          << "5"
                                          << "Male  "
                                          << "Native American" << 1;
    QTest::newRow("codes without text") << 10 << "7"
                                        << "9"
                                        << "N/A   "
                                        << "N/A            " << 1;
    QTest::newRow("not available") << 10 << ""
                                   << "0"
                                   << "N/A   "
                                   << "N/A            " << 1;
    QTest::newRow("invalid test adds a line") << 95 << "2"
                                              << "3"
                                              << "Female"
                                              << "Hispanic       " << 2;
}

void SummaryPageTest::headerIdentifiesTheClient() {
    QFETCH(int, truthfulness);
    QFETCH(QString, sex);
    QFETCH(QString, race);
    QFETCH(QString, gender);
    QFETCH(QString, ethnicity);
    QFETCH(int, leadingEmpty);
    ReportFixture f;
    f.state().Percentile[1] = static_cast<std::int16_t>(truthfulness);
    f.state().ClientInfo[3] = sex.toStdString();
    f.state().ClientInfo[4] = race.toStdString();
    ReportWriter out = f.writer();
    PrintSummaryHeader(out, f.session);
    QStringList expected(leadingEmpty, QString());
    expected << AtColumn(32, "Quillmere") << AtColumn(32, "***********************") << ""
             << "       NAME          : ROSALIND EXAMPLE"
             << "       AGE: 15    SEX: " + gender + QString(30, ' ') + "CONFIDENTIAL REPORT"
             << "       DATE OF BIRTH : 03/14/2011"
             << "       ETHNICITY     : " + ethnicity << "       EDUCATION     : 9"
             << "       DATE SCORED   : 07/17/2026"
             << "";
    QCOMPARE(ReportLines(out.bytes()), expected);
    QCOMPARE(expected[leadingEmpty + 4].indexOf("CONFIDENTIAL") + 1, 60);
    QCOMPARE(out.ReportLine, 1 + 13);
}

void SummaryPageTest::barGrowsByOneStarPerTwoAndAHalfPercentiles_data() {
    QTest::addColumn<int>("percentile");
    QTest::addColumn<QString>("bar");
    QTest::newRow("0") << 0 << "*...............-...........-.......-...-";
    QTest::newRow("39") << 39 << QString(16, '*') + "-...........-.......-...-";
    QTest::newRow("40 reaches MEDIUM") << 40 << QString(17, '*') + "...........-.......-...-";
    QTest::newRow("69") << 69 << QString(28, '*') + "-.......-...-";
    QTest::newRow("70 reaches PROBLEM") << 70 << QString(29, '*') + ".......-...-";
    QTest::newRow("89") << 89 << QString(36, '*') + "-...-";
    QTest::newRow("90 reaches MAX") << 90 << QString(37, '*') + "...-";
    QTest::newRow("99") << 99 << QString(40, '*') + "-";
}

void SummaryPageTest::barGrowsByOneStarPerTwoAndAHalfPercentiles() {
    QFETCH(int, percentile);
    QFETCH(QString, bar);
    ReportFixture f;
    f.setPercentiles(20, percentile, 20, 20, 20);
    const QString row = profile(f)[6];
    QVERIFY2(row.startsWith("       Alcohol"), qPrintable(row));
    QCOMPARE(row.mid(37), bar);
    QCOMPARE(bar.size(), 41);
}

void SummaryPageTest::percentileEndsInColumn30_data() {
    QTest::addColumn<int>("percentile");
    QTest::addColumn<QString>("columns28to31");
    QTest::newRow("9") << 9 << "  9 ";
    QTest::newRow("10") << 10 << " 10 ";
    QTest::newRow("0") << 0 << "  0 ";
}

void SummaryPageTest::percentileEndsInColumn30() {
    QFETCH(int, percentile);
    QFETCH(QString, columns28to31);
    ReportFixture f;
    f.setPercentiles(20, 50, percentile, 50, 50);
    const QString row = profile(f)[8];
    QCOMPARE(row.mid(20, 11), QString(7, ' ') + columns28to31);
    QCOMPARE(row.indexOf('*') + 1, 38);
}

void SummaryPageTest::truthfulnessMarksAndFootnotes_data() {
    QTest::addColumn<int>("truthfulness");
    QTest::addColumn<int>("violenceOmitted");
    QTest::addColumn<QString>("rowMark");
    QTest::addColumn<QString>("firstNote");
    QTest::addColumn<QString>("secondNote");
    QTest::newRow("89, all scored") << 89 << 4 << " "
                                    << ""
                                    << "";
    QTest::newRow("89, one not scored") << 89 << 5 << " "
                                        << "       ** Too many omitted items"
                                        << "          to score this scale";
    QTest::newRow("90, all scored") << 90 << 0 << "*"
                                    << "       * These test results"
                                    << "         are inaccurate";
    QTest::newRow("90 outranks not scored") << 90 << 5 << "*"
                                            << "       * These test results"
                                            << "         are inaccurate";
}

void SummaryPageTest::truthfulnessMarksAndFootnotes() {
    QFETCH(int, truthfulness);
    QFETCH(int, violenceOmitted);
    QFETCH(QString, rowMark);
    QFETCH(QString, firstNote);
    QFETCH(QString, secondNote);
    ReportFixture f;
    f.setPercentiles(truthfulness, 50, 50, 50, 50);
    f.state().OmittedCount = {0, 0, 0, 0, violenceOmitted, 0};
    const QStringList rows = profile(f);
    for (const int row : {4, 6, 8, 12}) {
        QCOMPARE(rows[row].mid(31, 1), rowMark);
    }
    QCOMPARE(rows[14],
             firstNote.leftJustified(37, ' ') + "0               40          70      90 100");
    QCOMPARE(rows[15],
             secondNote.leftJustified(37, ' ') + "----------- PERCENTILE SCORES -----------");
}

void SummaryPageTest::predictionScoreWeighsEveryInput_data() {
    QTest::addColumn<QStringList>("info");  // age, sex, race
    QTest::addColumn<QList<double>>("raw");
    QTest::addColumn<QStringList>("counts");
    QTest::addColumn<int>("score");
    // Scores worked out apart from the program, term by term in double precision.
    QTest::newRow("high") << QStringList{"15", "2", "3"} << QList<double>{5, 12, 20, 31, 40}
                          << QStringList{"13", "2", "N/A", "4", "1", "0", "3", "2", "0", "1", "9"}
                          << 34;
    QTest::newRow("low") << QStringList{"14", "1", "1"} << QList<double>{2, 3, 1, 2, 3}
                         << QStringList{"14", "0", "1", "1", "0", "0", "0", "0", "0", "0", "0"}
                         << 6;
    QTest::newRow("average") << QStringList{"16", "1", "2"} << QList<double>{4, 10, 15, 12, 14}
                             << QStringList{"12", "1", "2", "2", "1", "1", "2", "1", "1", "0", "5"}
                             << 15;
    QTest::newRow("negative") << QStringList{"12", "N/A", "6"} << QList<double>{0, 0, 9, 0, 0}
                              << QStringList{"0", "0", "3", "0", "0", "0", "0", "2", "3", "0", "0"}
                              << -10;
    QTest::newRow("padded counts")
        << QStringList{"17", "1", "1"} << QList<double>{3, 8, 6, 9, 10}
        << QStringList{"14", " 3", " 0", " 1", " 0", " 0", " 1", " 1", " 0", " 0", " 0"} << 13;
}

void SummaryPageTest::predictionScoreWeighsEveryInput() {
    QFETCH(QStringList, info);
    QFETCH(QList<double>, raw);
    QFETCH(QStringList, counts);
    QFETCH(int, score);
    ScoringState s;
    for (std::size_t i = 0; i < 3; ++i) {
        s.ClientInfo[i + 2] = info[static_cast<qsizetype>(i)].toStdString();
    }
    for (std::size_t i = 0; i < 5; ++i) {
        s.RawScore[i + 1] = raw[static_cast<qsizetype>(i)];
    }
    for (std::size_t k = 0; k < 11; ++k) {
        s.CourtCounts[k + 1] = counts[static_cast<qsizetype>(k)].toStdString();
    }
    QCOMPARE(PredictionScore(s), score);
}

void SummaryPageTest::predictionLineIsCentredAboutColumn42_data() {
    QTest::addColumn<QString>("truancy");  // its rounded value is the whole score here
    QTest::addColumn<QString>("line");
    QTest::newRow("Low at 0") << "0" << AtColumn(27, "*** Prediction Outcome: Low ***");
    QTest::newRow("Low at 6") << "6" << AtColumn(27, "*** Prediction Outcome: Low ***");
    QTest::newRow("Average at 7") << "7" << AtColumn(25, "*** Prediction Outcome: Average ***");
    QTest::newRow("Average at 20") << "20" << AtColumn(25, "*** Prediction Outcome: Average ***");
    QTest::newRow("High at 21") << "21" << AtColumn(26, "*** Prediction Outcome: High ***");
    QTest::newRow("no word at -1") << "-1" << AtColumn(28, "*** Prediction Outcome:  ***");
}

void SummaryPageTest::predictionLineIsCentredAboutColumn42() {
    QFETCH(QString, truancy);
    QFETCH(QString, line);
    ReportFixture f;
    ScoringState& s = f.state();
    s.ClientInfo[2] = "0";
    s.ClientInfo[3] = "0";
    s.ClientInfo[4] = "0";
    s.RawScore.fill(0);
    s.CourtCounts.fill("0");
    s.CourtCounts[2] = truancy.toStdString();
    ReportWriter out = f.writer();
    out.ReportLine = 30;
    PrintPrediction(out, f.session);
    QCOMPARE(ReportLines(out.bytes()), (QStringList{"", line, ""}));
    QCOMPARE(out.ReportLine, 33);
}

QTEST_GUILESS_MAIN(SummaryPageTest)
#include "SummaryPageTest.moc"
