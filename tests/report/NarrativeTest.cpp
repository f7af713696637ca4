#include <QtTest>
#include <tuple>
#include <utility>

#include "ReportFixture.h"
#include "report/Sections.h"
#include "session/Operations.h"

using namespace qlm;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;
using qlm::test::TestFolder;

// Scale, percentile, first line; scale, deviant items, answers to 102 and 103, list.
using Row = std::tuple<int, int, QString>;
using ListRow = std::tuple<int, QList<int>, int, int, QString>;

class NarrativeTest : public QObject {
    Q_OBJECT

private slots:
    // The heading names the range; the block key splits MEDIUM and MAXIMUM (where is the
    // scoring's test of the ranges).
    void blockFollowsTheRangeOfThePercentile_data() {
        QTest::addColumn<int>("percentile");
        QTest::addColumn<QString>("block");
        const std::pair<int, const char*> rows[] = {{0, "LOW"},          {55, "MEDIUM-LOW"},
                                                    {56, "MEDIUM-HIGH"}, {89, "PROBLEM"},
                                                    {94, "MAXIMUM-LOW"}, {95, "MAXIMUM-HIGH"}};
        for (const auto& [percentile, block] : rows) {
            QTest::addRow("%d", percentile) << percentile << QString(block);
        }
    }
    void blockFollowsTheRangeOfThePercentile() {
        QFETCH(int, percentile);
        QFETCH(QString, block);
        ReportFixture f;
        // A Violence file whose every block names its key; CR LF ends as an editor may leave.
        std::string text;
        for (const char* key :
             {"LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
            text += std::string(key) + "\r\nblock " + key + "\r\nsecond line\r\nEND\r\n";
        }
        TestFolder::write(f.program("QLMVI.TXT"), text);
        f.setPercentile(4, percentile);
        ReportWriter out = f.writer(10);
        PrintScaleNarrative(out, f.inputs(), 4);
        const QString heading =
            "       Violence SCALE: " + block.section('-', 0, 0) + " RISK RANGE";
        QCOMPARE(ReportLines(out.bytes()),
                 (QStringList{
                     heading.leftJustified(60) + "RISK PERCENTILE:" + QString::number(percentile),
                     "        block " + block, "        second line"}));
        QCOMPARE(out.ReportLine, 13);
    }

    // Copied lines start in column 9, composed (justified) ones in column 8.
    void alcoholAndDrugsAreComposedFromTheProblemRange_data() {
        QTest::addColumn<Row>("row");
        QTest::newRow("alcohol 69 is copied") << Row{
            2, 69,
            "        This youth's Alcohol Scale score is in the upper medium risk range (56"};
        // Composed from 70, in three bands: 70 to 89, 90 to 94, 95 and above.
        const QString band[] = {
            "       This youth's Alcohol Scale score is in the problem  risk  (70  to  89th",
            "       This youth's Alcohol Scale  score  is  in  the  problem  (90  to  100th",
            "       This youth's Alcohol Scale score is in the severe problem (90 to  100th"};
        QTest::newRow("alcohol 70") << Row{2, 70, band[0]};
        QTest::newRow("alcohol 89") << Row{2, 89, band[0]};
        QTest::newRow("alcohol 90") << Row{2, 90, band[1]};
        QTest::newRow("alcohol 94") << Row{2, 94, band[1]};
        QTest::newRow("alcohol 95") << Row{2, 95, band[2]};
        QTest::newRow("drugs 69 is copied") << Row{
            3, 69,
            "        This youth's Drugs Scale score is in the upper medium risk  range  (56"};
        QTest::newRow("drugs 70 is composed") << Row{
            3, 70,
            "       This juvenile's Drugs Scale score is in the problem risk  (70  to  89th"};
    }
    void alcoholAndDrugsAreComposedFromTheProblemRange() {
        QFETCH(Row, row);
        const auto& [scale, percentile, firstLine] = row;
        ReportFixture f;
        f.setPercentile(scale, percentile);
        ReportWriter out = f.writer(10);
        PrintScaleNarrative(out, f.inputs(), scale);
        QCOMPARE(ReportLines(out.bytes()).value(1), firstLine);
    }

    // A copied narrative's page break is shown by the page rules of the report file test.
    void composedParagraphBreaksThePageAt58() {
        ReportFixture f;
        ReportWriter out = f.writer(56);
        PrintComposedParagraph(out, std::string(60, 'a') + " " + std::string(60, 'b') + " end");
        const QStringList lines = ReportLines(out.bytes());
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], "       " + QString(60, 'a'));                            // 57
        QCOMPARE(lines[1], "       " + QString(60, 'b') + QString(8, ' ') + "end");  // 58
        QCOMPARE(lines[2], "\f");
        QCOMPARE(out.ReportLine, 2);
    }

    // Alcohol lists 8, 13, 18, ... 53, 56, 82; Drugs 10, 15, ... 72, 95 (the fixture's tables).
    void deviantItemList_data() {
        QTest::addColumn<ListRow>("row");
        QTest::newRow("none") << ListRow{2, {}, 2, 2, ""};
        QTest::newRow("one keeps its blank") << ListRow{2, {53}, 2, 4, " 53"};
        QTest::newRow("two") << ListRow{2, {13, 53}, 0, 0, "13 and 53"};
        QTest::newRow("three") << ListRow{2, {8, 53}, 3, 2, "8, 53 and 102"};
        QTest::newRow("answers only") << ListRow{2, {}, 1, 3, "102 and 103"};
        QTest::newRow("items off the list") << ListRow{2, {10, 60}, 2, 2, ""};
        QTest::newRow("drugs ignore 102 answered 1") << ListRow{3, {72}, 1, 1, " 72"};
        QTest::newRow("drugs add 102 answered 2") << ListRow{3, {15, 72}, 2, 1, "15, 72 and 102"};
        QTest::newRow("drugs add 102 answered 3") << ListRow{3, {}, 3, 0, " 102"};
    }
    void deviantItemList() {
        QFETCH(ListRow, row);
        const auto& [scale, deviant, answer102, answer103, list] = row;
        ReportFixture f;
        f.state().ItemScore.fill(0);
        for (int item : deviant) {
            f.state().ItemScore[static_cast<std::size_t>(item)] = 2;
        }
        f.state().ItemAnswers[102] = answer102;
        f.state().ItemAnswers[103] = answer103;
        QCOMPARE(QString::fromStdString(DeviantItemList(f.inputs(), scale)), list);
    }

    // Lines are wrapped at the last blank within 71 characters; those of 56 to 70 are widened
    // to 71 by doubling blanks from the right.
    void composedLinesWrapAndJustify_data() {
        QTest::addColumn<QString>("paragraph");
        QTest::addColumn<QStringList>("lines");
        const QString x27(27, 'x'), x35(35, 'x'), a30(30, 'a'), b30(30, 'b');
        QTest::newRow("55 stays") << x27 + " " + x27 << QStringList{x27 + " " + x27};
        // 56 characters, 8 gaps, 15 blanks to add. Round one widens every gap by one; from then
        // on the search, going on left of the blank it added, finds the gap's other blanks too,
        // so a widened gap grows by its whole width each round.
        QTest::newRow("56 to 71")
            << "eightchr" + QString(" wordy").repeated(8)
            << QStringList{
                   "eightchr  wordy  wordy  wordy  wordy   wordy    wordy    wordy    wordy"};
        QTest::newRow("70 widens the rightmost gap")
            << QString(34, 'x') + " " + QString(17, 'y') + " " + QString(17, 'z')
            << QStringList{QString(34, 'x') + " " + QString(17, 'y') + "  " + QString(17, 'z')};
        // Rounds: 3 + 6 + 6 blanks (the double gap 2 + 2 + 4 + 2, the single 1 + 1 + 2 + 4 - 2).
        QTest::newRow("double gap grows by its width")
            << QString(20, 'x') + "  " + QString(20, 'y') + " " + QString(13, 'z')
            << QStringList{QString(20, 'x') + QString(10, ' ') + QString(20, 'y') +
                           QString(8, ' ') + QString(13, 'z')};
        QTest::newRow("71 stays") << x35 + " " + x35 << QStringList{x35 + " " + x35};
        QTest::newRow("no gap stays") << QString(60, 'x') << QStringList{QString(60, 'x')};
        QTest::newRow("a first blank is no gap")
            << " " + QString(59, 'x') << QStringList{" " + QString(59, 'x')};
        QTest::newRow("72 move the last word")
            << a30 + " " + b30 + " " + QString(10, 'c')
            << QStringList{a30 + QString(11, ' ') + b30, QString(10, 'c')};
        QTest::newRow("trailing blanks go")
            << QString(50, 'a') + "   " + b30 << QStringList{QString(50, 'a'), b30};
        QTest::newRow("a word longer than a line is cut")
            << QString(80, 'a') << QStringList{QString(71, 'a'), QString(9, 'a')};
    }
    void composedLinesWrapAndJustify() {
        QFETCH(QString, paragraph);
        QFETCH(QStringList, lines);
        ReportFixture f;
        ReportWriter out = f.writer(10);
        PrintComposedParagraph(out, paragraph.toStdString());
        for (QString& line : lines) {
            line.prepend("       ");
        }
        QCOMPARE(ReportLines(out.bytes()), lines);
        QCOMPARE(out.ReportLine, 10 + lines.size());
    }

    // Every block of the shipped texts a scale can reach exists and keeps within column 78.
    void shippedTextsHaveEveryBlockWithinTheMargin_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("percentile");
        for (int scale = 1; scale <= 5; ++scale) {
            for (int percentile : {0, 40, 56, 70, 90, 95}) {
                QTest::addRow("scale %d at %d", scale, percentile) << scale << percentile;
            }
        }
    }
    void shippedTextsHaveEveryBlockWithinTheMargin() {
        QFETCH(int, scale);
        QFETCH(int, percentile);
        ReportFixture f;
        f.setPercentile(scale, percentile);
        ReportWriter out = f.writer(3);
        PrintScaleNarrative(out, f.inputs(), scale);
        PrintInvalidText(out, f.inputs());
        out.PrintNoticeFooter();
        out.ReportLine = 56;
        out.PrintPublisherFooter();
        const QStringList lines = ReportLines(out.bytes());
        QVERIFY(lines.size() > 12);
        for (const QString& line : lines) {
            QVERIFY2(line.size() <= 78, qPrintable(line));
        }
    }
};

QTEST_GUILESS_MAIN(NarrativeTest)
#include "NarrativeTest.moc"
