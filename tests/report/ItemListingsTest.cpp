#include <QtTest>

#include "ReportFixture.h"
#include "report/Sections.h"

using namespace qlm;
using qlm::test::AtColumn;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;

class ItemListingsTest : public QObject {
    Q_OBJECT

    // The line of the left column, and the right one from column 44.
    static QString pairRow(const QString& left, const QString& right) {
        return right.isEmpty() ? "       " + left : ("       " + left).leftJustified(43) + right;
    }

    static QString significant(int k) {
        return QString::number(k).rightJustified(3) + ". Significant answer " + QString::number(k) +
               " (T)";
    }

private slots:
    void responsesGrid() {
        ReportFixture f;
        // True-false items answered 2, 1, omitted, out of range (3) and 2; then choices.
        const QString answers = "21   3" + QString(91, '2') + "012340123405";
        for (std::size_t i = 1; i <= 109; ++i) {
            f.state().ItemAnswers[i] =
                std::max(0, answers[static_cast<qsizetype>(i - 1)].digitValue());
        }
        ReportWriter out = f.writer(20);
        PrintResponses(out, f.session, 12);
        QCOMPARE(ReportLines(out.bytes()),
                 (QStringList{
                     AtColumn(26, "Quillmere Responses").leftJustified(61) + "(QLM TEST # 12 )",
                     AtColumn(26, QString(33, '-')),
                     "         1- 50  FT0000FFFF FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF ",
                     "        51-100  FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF FFFFFFF012 ",
                     "       101-109  340123405",
                     "",
                 }));
    }

    // The closing empty line is written and counted only while the page is unfinished.
    void sectionsCloseWithAnEmptyLineOnlyOnAnUnfinishedPage_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("lineAfter");
        QTest::newRow("responses reach 57") << "responses" << 51 << 6 << 58;
        QTest::newRow("responses reach 58") << "responses" << 52 << 5 << 58;
        QTest::newRow("comments reach 57") << "comments" << 49 << 9 << 58;
        QTest::newRow("comments reach 58") << "comments" << 50 << 8 << 58;
        QTest::newRow("section 2 with room") << "section 2" << 40 << 13 << 53;
        // The last row fills the page: the new page begins without the empty line.
        QTest::newRow("section 2 ends a page") << "section 2" << 46 << 15 << 2;
    }
    void sectionsCloseWithAnEmptyLineOnlyOnAnUnfinishedPage() {
        QFETCH(QString, section);
        QFETCH(int, line);
        QFETCH(int, lines);
        QFETCH(int, lineAfter);
        ReportFixture f;
        ReportWriter out = f.writer(line);
        if (section == "responses") {
            PrintResponses(out, f.session, 1);
        } else if (section == "comments") {
            PrintComments(out);
        } else {
            PrintSection2Answers(out, f.session);
        }
        QCOMPARE(ReportLines(out.bytes()).size(), lines);
        QCOMPARE(out.ReportLine, lineAfter);
    }

    void significantItemsInTwoUnevenColumns() {
        ReportFixture f;
        // Alcohol 3 lines, Drugs 5; Antisocial none; Violence 1.
        f.setDeviant({2, 5, 9, 14, 15, 20, 21, 28, 50});
        ReportWriter out = f.writer(2);
        PrintSignificantItems(out, f.session);
        const QStringList expected = {
            "       SIGNIFICANT ITEMS:  These answers are the  juvenile's actual responses.",
            "       They  represent  direct  admissions  or unusual  answers, which help in",
            "       understanding  the  juvenile's  situation. These  answers  reflect  the",
            "       juvenile's opinions, with all their biases.",
            "",
            pairRow("ALCOHOL", "DRUGS"),
            pairRow("-------", "-----"),
            pairRow(significant(2), significant(14)),
            pairRow(significant(5), significant(15)),
            pairRow(significant(9), significant(20)),
            AtColumn(44, significant(21)),
            AtColumn(44, significant(28)),
            "",
            pairRow("ANTISOCIAL", "VIOLENCE"),
            pairRow("----------", "--------"),
            pairRow("Note: No significant items were", significant(50)),
            pairRow("reported for this scale.", ""),
            "",
            "",
        };
        QCOMPARE(ReportLines(out.bytes()), expected);
        QCOMPARE(out.ReportLine, 2 + 5 + 2 + 5 + 1 + 2 + 2 + 1 + 1);
    }

    // Introduction 5 and headings 2: the first row counts line + 8.
    void significantRowAt58StartsAPage_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("breakAfterRow");  // 0: no break
        QTest::newRow("first row makes 58") << 50 << 1;
        QTest::newRow("third row makes 58") << 48 << 3;
        QTest::newRow("headings reach 58, no break") << 51 << 0;
    }
    void significantRowAt58StartsAPage() {
        QFETCH(int, line);
        QFETCH(int, breakAfterRow);
        ReportFixture f;
        f.setDeviant({1, 2, 3, 4, 14, 15, 16, 17});
        ReportWriter out = f.writer(line);
        PrintSignificantItems(out, f.session);
        const QStringList lines = ReportLines(out.bytes());
        const qsizetype firstRow = 7;
        QCOMPARE(lines.indexOf("\f"), breakAfterRow == 0 ? -1 : firstRow + breakAfterRow);
        if (breakAfterRow > 0) {
            QCOMPARE(lines[firstRow + breakAfterRow + 2], "");
            QCOMPARE(lines[firstRow + breakAfterRow + 3],
                     pairRow(significant(breakAfterRow + 1), significant(breakAfterRow + 14)));
        }
    }

    void section2RowAt58StartsAPage() {
        ReportFixture f;
        ReportWriter out = f.writer(48);  // the introduction makes 54, the fourth row 58
        PrintSection2Answers(out, f.session);
        const QStringList lines = ReportLines(out.bytes());
        QCOMPARE(lines.indexOf("\f"), 6 + 4);
        QCOMPARE(lines.size(), 6 + 4 + 3 + 2 + 1);  // rows 5 and 6 on the new page, then ""
        QCOMPARE(out.ReportLine, 5);
    }
};

QTEST_GUILESS_MAIN(ItemListingsTest)
#include "ItemListingsTest.moc"
