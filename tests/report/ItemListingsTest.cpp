#include <QtTest>

#include "ReportFixture.h"
#include "report/Sections.h"

using namespace qlm;
using qlm::test::AtColumn;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;

class ItemListingsTest : public QObject {
    Q_OBJECT

private slots:
    void responsesGrid_data();
    void responsesGrid();
    void sectionsCloseWithAnEmptyLineOnlyOnAnUnfinishedPage_data();
    void sectionsCloseWithAnEmptyLineOnlyOnAnUnfinishedPage();
    void significantItemsInTwoUnevenColumns();
    void significantRowAt58StartsAPage_data();
    void significantRowAt58StartsAPage();
    void section2RowAt58StartsAPage();
};

namespace {

// The line of the left column, and the right one from column 44.
QString pairRow(const QString& left, const QString& right) {
    return right.isEmpty() ? "       " + left : ("       " + left).leftJustified(43) + right;
}

QString significant(int k) {
    return QString::number(k).rightJustified(3) + ". Significant answer " + QString::number(k) +
           " (T)";
}

}  // namespace

void ItemListingsTest::responsesGrid_data() {
    QTest::addColumn<QString>("answers");  // the stored characters of items 1 to 109
    QTest::addColumn<int>("testNumber");
    QTest::addColumn<QStringList>("rows");
    const QString tens = "TTTTTTTTTT TTTTTTTTTT TTTTTTTTTT TTTTTTTTTT TTTTTTTTTT ";
    QTest::newRow("all true") << QString(97, '1') + QString(12, '1') << 7
                              << QStringList{"         1- 50  " + tens,
                                             "        51-100  " + tens.left(51) + "111 ",
                                             "       101-109  111111111"};
    QTest::newRow("false, omitted and choices")
        << "21" + QString(3, ' ') + "3" + QString(91, '2') + "012340123405" << 12
        << QStringList{"         1- 50  FT0000FFFF FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF ",
                       "        51-100  FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF FFFFFFFFFF FFFFFFF012 ",
                       "       101-109  340123405"};
}

void ItemListingsTest::responsesGrid() {
    QFETCH(QString, answers);
    QFETCH(int, testNumber);
    QFETCH(QStringList, rows);
    ReportFixture f;
    for (std::size_t i = 1; i <= 109; ++i) {
        const QChar c = answers[static_cast<qsizetype>(i - 1)];
        f.state().ItemAnswers[i] = c.isDigit() ? c.digitValue() : 0;
    }
    ReportWriter out = f.writer();
    out.ReportLine = 20;
    PrintResponses(out, f.session, testNumber);
    const QString heading = AtColumn(26, "Quillmere Responses").leftJustified(61) + "(QLM TEST # " +
                            QString::number(testNumber) + " )";
    QCOMPARE(ReportLines(out.bytes()),
             (QStringList{heading, AtColumn(26, QString(33, '-'))} + rows + QStringList{""}));
}

void ItemListingsTest::sectionsCloseWithAnEmptyLineOnlyOnAnUnfinishedPage_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("lineAfter");
    QTest::newRow("responses with room") << "responses" << 40 << 6 << 47;
    QTest::newRow("responses reach 57") << "responses" << 51 << 6 << 58;
    QTest::newRow("responses reach 58") << "responses" << 52 << 5 << 58;
    QTest::newRow("responses past the page") << "responses" << 55 << 5 << 61;
    QTest::newRow("comments with room") << "comments" << 40 << 9 << 49;
    QTest::newRow("comments reach 57") << "comments" << 49 << 9 << 58;
    QTest::newRow("comments reach 58") << "comments" << 50 << 8 << 58;
    QTest::newRow("section 2 with room") << "section 2" << 40 << 13 << 53;
    // The last row fills the page: the new page begins without the empty line.
    QTest::newRow("section 2 ends a page") << "section 2" << 46 << 15 << 2;
}

void ItemListingsTest::sectionsCloseWithAnEmptyLineOnlyOnAnUnfinishedPage() {
    QFETCH(QString, section);
    QFETCH(int, line);
    QFETCH(int, lines);
    QFETCH(int, lineAfter);
    ReportFixture f;
    ReportWriter out = f.writer();
    out.ReportLine = line;
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

void ItemListingsTest::significantItemsInTwoUnevenColumns() {
    ReportFixture f;
    // Alcohol 3 lines, Drugs 5; Antisocial none; Violence 1.
    f.setDeviant({2, 5, 9, 14, 15, 20, 21, 28, 50});
    ReportWriter out = f.writer();
    out.ReportLine = 2;
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

void ItemListingsTest::significantRowAt58StartsAPage_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("breakAfterRow");  // 0: no break
    // Introduction 5 and headings 2: the first row counts line + 8.
    QTest::newRow("first row makes 58") << 50 << 1;
    QTest::newRow("third row makes 58") << 48 << 3;
    QTest::newRow("headings reach 58, no break") << 51 << 0;
}

void ItemListingsTest::significantRowAt58StartsAPage() {
    QFETCH(int, line);
    QFETCH(int, breakAfterRow);
    ReportFixture f;
    f.setDeviant({1, 2, 3, 4, 14, 15, 16, 17});
    ReportWriter out = f.writer();
    out.ReportLine = line;
    PrintSignificantItems(out, f.session);
    const QStringList lines = ReportLines(out.bytes());
    const qsizetype firstRow = 7;
    if (breakAfterRow == 0) {
        QVERIFY(!lines.contains("\f"));
        return;
    }
    QCOMPARE(lines.indexOf("\f"), firstRow + breakAfterRow);
    QCOMPARE(lines[firstRow + breakAfterRow + 2], "");
    QCOMPARE(lines[firstRow + breakAfterRow + 3],
             pairRow(significant(breakAfterRow + 1), significant(breakAfterRow + 14)));
}

void ItemListingsTest::section2RowAt58StartsAPage() {
    ReportFixture f;
    ReportWriter out = f.writer();
    out.ReportLine = 48;  // the introduction makes 54, the fourth row 58
    PrintSection2Answers(out, f.session);
    const QStringList lines = ReportLines(out.bytes());
    QCOMPARE(lines.indexOf("\f"), 6 + 4);
    QCOMPARE(lines.size(), 6 + 4 + 3 + 2 + 1);  // rows 5 and 6 on the new page, then the empty line
    QCOMPARE(out.ReportLine, 5);
}

QTEST_GUILESS_MAIN(ItemListingsTest)
#include "ItemListingsTest.moc"
