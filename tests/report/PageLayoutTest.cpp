#include <QtTest>

#include "ReportFixture.h"
#include "report/Sections.h"

using namespace qlm;
using qlm::test::AtColumn;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;

// The line primitives, page header and footers, and the summary page of the report.
class PageLayoutTest : public QObject {
    Q_OBJECT

    static ReportWriter plainWriter(PublisherCode code = PublisherCode::Second) {
        PublisherTexts texts;
        texts.AddressLine = "ADDRESS";
        texts.RightsLine = "RIGHTS";
        texts.ReservedLine = "RESERVED";
        return ReportWriter("JO EXAMPLE", texts, code);
    }

    // The profile's rows (from the top rule) for the fixture's state.
    static QStringList profile(ReportFixture& f) {
        ReportWriter out = f.writer(20);
        PrintProfile(out, f.session, 1, 5);
        return ReportLines(out.bytes());
    }

private slots:
    void atColumnAndNumberItems_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<double>("number");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("before column 5") << QByteArray("ab") << 7.0 << QByteArray("ab  | 7 |");
        QTest::newRow("at column 5") << QByteArray("abcd") << 0.0 << QByteArray("abcd| 0 |");
        QTest::newRow("past column 5")
            << QByteArray("abcdef") << -3.0 << QByteArray("abcdef\r\n    |-3 |");
        QTest::newRow("no separators")
            << QByteArray("ab") << 12345.0 << QByteArray("ab  | 12345 |");
    }
    void atColumnAndNumberItems() {
        QFETCH(QByteArray, before);
        QFETCH(double, number);
        QFETCH(QByteArray, expected);
        ReportWriter out = plainWriter();
        out.text(before.toStdString()).atColumn(5).text("|");
        QCOMPARE(out.column(), 6);
        out.number(number).text("|");
        QCOMPARE(QByteArray::fromStdString(out.bytes()), expected);
    }

    void pageHeaderShowsTheLastDigitOfThePage_data() {
        QTest::addColumn<int>("pageBefore");
        QTest::addColumn<QByteArray>("mark");
        QTest::newRow("page 2") << 1 << QByteArray("-2-");
        QTest::newRow("page 10") << 9 << QByteArray("-0-");
        QTest::newRow("page 23") << 22 << QByteArray("-3-");
    }
    void pageHeaderShowsTheLastDigitOfThePage() {
        QFETCH(int, pageBefore);
        QFETCH(QByteArray, mark);
        ReportWriter out = plainWriter();
        out.ReportPage = pageBefore;
        out.ReportLine = 40;
        out.PrintPageHeader();
        // Name from column 8, page mark in columns 41 to 43, "QLM REPORT" in 69 to 78.
        QCOMPARE(QByteArray::fromStdString(out.bytes()),
                 "\f\r\n       NAME: JO EXAMPLE" + QByteArray(17, ' ') + mark +
                     QByteArray(25, ' ') + "QLM REPORT\r\n\r\n");
        QCOMPARE(out.ReportPage, pageBefore + 1);
        QCOMPARE(out.ReportLine, 2);
    }

    void footersPadThePageAndStopAtItsEnd_data() {
        QTest::addColumn<bool>("notice");
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("lineAfter");
        const QByteArray rights = QByteArray(22, ' ') + "RIGHTS\r\n";
        const QByteArray reserved = QByteArray(33, ' ') + "RESERVED\r\n";
        const QByteArray address = "       ADDRESS\r\n";
        QTest::newRow("notice at 55") << true << 55 << "\r\n" + rights + reserved << 58;
        QTest::newRow("notice at 56") << true << 56 << rights + reserved << 58;
        QTest::newRow("notice at 57") << true << 57 << rights << 58;
        QTest::newRow("notice at 58") << true << 58 << QByteArray() << 58;
        QTest::newRow("publisher at 55") << false << 55 << "\r\n" + address << 57;
        QTest::newRow("publisher at 56") << false << 56 << address << 57;
        QTest::newRow("publisher at 57") << false << 57 << address << 58;
        QTest::newRow("publisher at 58") << false << 58 << QByteArray() << 58;
    }
    void footersPadThePageAndStopAtItsEnd() {
        QFETCH(bool, notice);
        QFETCH(int, line);
        QFETCH(QByteArray, expected);
        QFETCH(int, lineAfter);
        ReportWriter out = plainWriter();
        out.ReportLine = line;
        notice ? out.PrintNoticeFooter() : out.PrintPublisherFooter();
        QCOMPARE(QByteArray::fromStdString(out.bytes()), expected);
        QCOMPARE(out.ReportLine, lineAfter);
    }

    // Codes without a text print "N/A" padded to the table's width.
    void headerPadsCodesWithoutText_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("race");
        QTest::newRow("unknown codes") << "7"
                                       << "9";
        QTest::newRow("empty and zero") << ""
                                        << "0";
    }
    void headerPadsCodesWithoutText() {
        QFETCH(QString, sex);
        QFETCH(QString, race);
        ReportFixture f;
        f.state().ClientInfo[3] = sex.toStdString();
        f.state().ClientInfo[4] = race.toStdString();
        ReportWriter out = f.writer();
        PrintSummaryHeader(out, f.session);
        const QStringList lines = ReportLines(out.bytes());
        QCOMPARE(lines[5],
                 "       AGE: 15    SEX: N/A   " + QString(30, ' ') + "CONFIDENTIAL REPORT");
        QCOMPARE(lines[7], "       ETHNICITY     : N/A            ");
    }

    // One star per 2.5 percentiles and one more; the percentile ends in column 30.
    void profileRowShowsPercentileAndBar_data() {
        QTest::addColumn<int>("percentile");
        QTest::addColumn<int>("stars");
        const int rows[][2] = {{0, 1},   {9, 4},   {10, 5},  {39, 16}, {40, 17},
                               {69, 28}, {70, 29}, {89, 36}, {90, 37}, {99, 40}};
        for (const auto& row : rows) {
            QTest::addRow("%d", row[0]) << row[0] << row[1];
        }
    }
    void profileRowShowsPercentileAndBar() {
        QFETCH(int, percentile);
        QFETCH(int, stars);
        ReportFixture f;
        f.setPercentiles(20, percentile, 20, 20, 20);
        const QString scale = "-" + QString(11, '.') + "-" + QString(7, '.') + "-...-";
        const QString empty = QString(16, '.') + scale;
        QCOMPARE(profile(f)[6], "       Alcohol" + QString(13, ' ') +
                                    QString::number(percentile).rightJustified(3) +
                                    QString(7, ' ') + QString(stars, '*') + empty.mid(stars));
    }

    void truthfulnessMarksAndFootnotes_data() {
        QTest::addColumn<int>("truthfulness");
        QTest::addColumn<int>("violenceOmitted");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("notes");
        QTest::newRow("89, all scored") << 89 << 4 << " "
                                        << "|";
        QTest::newRow("89, one not scored")
            << 89 << 5 << " "
            << "       ** Too many omitted items|          to score this scale";
        QTest::newRow("90, all scored") << 90 << 0 << "*"
                                        << "       * These test results|         are inaccurate";
        QTest::newRow("90 outranks not scored")
            << 90 << 5 << "*"
            << "       * These test results|         are inaccurate";
    }
    void truthfulnessMarksAndFootnotes() {
        QFETCH(int, truthfulness);
        QFETCH(int, violenceOmitted);
        QFETCH(QString, mark);
        QFETCH(QString, notes);
        ReportFixture f;
        f.setPercentiles(truthfulness, 50, 50, 50, 50);
        f.state().OmittedCount = {0, 0, 0, 0, violenceOmitted, 0};
        const QStringList rows = profile(f);
        for (const int row : {4, 6, 8, 12}) {
            QCOMPARE(rows[row].mid(31, 1), mark);
        }
        const QStringList note = notes.split('|');
        QCOMPARE(rows[14],
                 note[0].leftJustified(37) + "0               40          70      90 100");
        QCOMPARE(rows[15], note[1].leftJustified(37) + "----------- PERCENTILE SCORES -----------");
    }

    // Scores worked out apart from the program, term by term in double precision.
    void predictionScoreWeighsEveryInput_data() {
        QTest::addColumn<QStringList>("info");  // age, sex, race
        QTest::addColumn<QList<double>>("raw");
        QTest::addColumn<QStringList>("counts");
        QTest::addColumn<int>("score");
        QTest::newRow("high") << QStringList{"15", "2", "3"} << QList<double>{5, 12, 20, 31, 40}
                              << QStringList{"13", "2", "N/A", "4", "1", "0",
                                             "3",  "2", "0",   "1", "9"}
                              << 34;
        QTest::newRow("low") << QStringList{"14", "1", "1"} << QList<double>{2, 3, 1, 2, 3}
                             << QStringList{"14", "0", "1", "1", "0", "0", "0", "0", "0", "0", "0"}
                             << 6;
        QTest::newRow("average") << QStringList{"16", "1", "2"} << QList<double>{4, 10, 15, 12, 14}
                                 << QStringList{"12", "1", "2", "2", "1", "1",
                                                "2",  "1", "1", "0", "5"}
                                 << 15;
        QTest::newRow("negative") << QStringList{"12", "N/A", "6"} << QList<double>{0, 0, 9, 0, 0}
                                  << QStringList{"0", "0", "3", "0", "0", "0",
                                                 "0", "2", "3", "0", "0"}
                                  << -10;
        QTest::newRow("padded counts")
            << QStringList{"17", "1", "1"} << QList<double>{3, 8, 6, 9, 10}
            << QStringList{"14", " 3", " 0", " 1", " 0", " 0", " 1", " 1", " 0", " 0", " 0"} << 13;
    }
    void predictionScoreWeighsEveryInput() {
        QFETCH(QStringList, info);
        QFETCH(QList<double>, raw);
        QFETCH(QStringList, counts);
        QFETCH(int, score);
        ScoringState s;
        for (qsizetype i = 0; i < 11; ++i) {
            const auto k = static_cast<std::size_t>(i);
            s.CourtCounts[k + 1] = counts[i].toStdString();
            if (i < 3) {
                s.ClientInfo[k + 2] = info[i].toStdString();
            }
            if (i < 5) {
                s.RawScore[k + 1] = raw[i];
            }
        }
        QCOMPARE(PredictionScore(s), score);
    }

    void predictionLineIsCentredAboutColumn42_data() {
        QTest::addColumn<QString>("truancy");  // its rounded value is the whole score here
        QTest::addColumn<QString>("line");
        QTest::newRow("Low at 6") << "6" << AtColumn(27, "*** Prediction Outcome: Low ***");
        QTest::newRow("Average at 7") << "7" << AtColumn(25, "*** Prediction Outcome: Average ***");
        QTest::newRow("Average at 20")
            << "20" << AtColumn(25, "*** Prediction Outcome: Average ***");
        QTest::newRow("High at 21") << "21" << AtColumn(26, "*** Prediction Outcome: High ***");
        QTest::newRow("no word at -1") << "-1" << AtColumn(28, "*** Prediction Outcome:  ***");
    }
    void predictionLineIsCentredAboutColumn42() {
        QFETCH(QString, truancy);
        QFETCH(QString, line);
        ReportFixture f;
        ScoringState& s = f.state();
        s.ClientInfo[2] = s.ClientInfo[3] = s.ClientInfo[4] = "0";
        s.RawScore.fill(0);
        s.CourtCounts.fill("0");
        s.CourtCounts[2] = truancy.toStdString();
        ReportWriter out = f.writer(30);
        PrintPrediction(out, f.session);
        QCOMPARE(ReportLines(out.bytes()), (QStringList{"", line, ""}));
        QCOMPARE(out.ReportLine, 33);
    }
};

QTEST_GUILESS_MAIN(PageLayoutTest)
#include "PageLayoutTest.moc"
