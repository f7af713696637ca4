#include <QtTest>
#include <tuple>

#include "ReportFixture.h"
#include "report/Sections.h"

using namespace qlm;
using qlm::test::AtColumn;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;

namespace {

using ColumnRow = std::tuple<QByteArray, double, QByteArray>;    // before, number, bytes
using PageRow = std::tuple<QString, int, int, QByteArray, int>;  // part, page, line, bytes, after
using MarkRow = std::tuple<int, int, QString, QStringList>;      // truth, omitted, mark, notes
using PredictionRow = std::tuple<QString, int, QString, int>;    // inputs, score, word, column
using ClosingRow = std::tuple<QString, int, int, int>;           // section, line, lines, after

ReportWriter plainWriter() {
    PublisherTexts texts;
    texts.AddressLine = "ADDRESS";
    texts.RightsLine = "RIGHTS";
    texts.ReservedLine = "RESERVED";
    return ReportWriter("JO EXAMPLE", texts, PublisherCode::Second);
}

QByteArray bytes(const ReportWriter& out) {
    return QByteArray::fromStdString(out.bytes());
}

// The profile's rows (from the top rule) for the fixture's state.
QStringList profile(ReportFixture& f) {
    ReportWriter out = f.writer(20);
    PrintProfile(out, f.inputs(), 1, 5);
    return ReportLines(out.bytes());
}

// The line of the left column, and the right one from column 44.
QString pairRow(const QString& left, const QString& right) {
    return right.isEmpty() ? "       " + left : ("       " + left).leftJustified(43) + right;
}

QString significant(int k) {
    return QString::number(k).rightJustified(3) + ". Significant answer " + QString::number(k) +
           " (T)";
}

}  // namespace

// The line primitives, page header and footers, the summary page and the item listings. The
// expected reports show the responses grid, uneven columns of significant items and Section 2.
class PageLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void atColumnAndNumberItems_data() {
        QTest::addColumn<ColumnRow>("row");
        QTest::newRow("before column 5") << ColumnRow{"ab", 7, "ab  | 7 |"};
        QTest::newRow("at column 5") << ColumnRow{"abcd", 0, "abcd| 0 |"};
        QTest::newRow("past column 5") << ColumnRow{"abcdef", -3, "abcdef\r\n    |-3 |"};
        QTest::newRow("no separators") << ColumnRow{"ab", 12345, "ab  | 12345 |"};
    }
    void atColumnAndNumberItems() {
        QFETCH(ColumnRow, row);
        const auto& [before, number, expected] = row;
        ReportWriter out = plainWriter();
        out.text(before.toStdString()).atColumn(5).text("|");
        QCOMPARE(out.column(), 6);
        out.number(number).text("|");
        QCOMPARE(bytes(out), expected);
    }

    // The footers pad the page to line 56 and stop at its end. The header has the name from
    // column 8, the page's last digit in columns 41 to 43 and "QLM REPORT" in 69 to 78.
    void pageFurniture_data() {
        QTest::addColumn<PageRow>("row");
        const QByteArray rights = QByteArray(22, ' ') + "RIGHTS\r\n";
        const QByteArray notice = rights + QByteArray(33, ' ') + "RESERVED\r\n";
        const QByteArray address = "       ADDRESS\r\n";
        QTest::newRow("notice at 55") << PageRow{"notice", 1, 55, "\r\n" + notice, 58};
        QTest::newRow("notice at 56") << PageRow{"notice", 1, 56, notice, 58};
        QTest::newRow("notice at 57") << PageRow{"notice", 1, 57, rights, 58};
        QTest::newRow("notice at 58") << PageRow{"notice", 1, 58, "", 58};
        QTest::newRow("publisher at 55") << PageRow{"publisher", 1, 55, "\r\n" + address, 57};
        QTest::newRow("publisher at 56") << PageRow{"publisher", 1, 56, address, 57};
        QTest::newRow("publisher at 57") << PageRow{"publisher", 1, 57, address, 58};
        QTest::newRow("publisher at 58") << PageRow{"publisher", 1, 58, "", 58};
        const auto header = [](const char* mark) {
            return "\f\r\n       NAME: JO EXAMPLE" + QByteArray(17, ' ') + mark +
                   QByteArray(25, ' ') + "QLM REPORT\r\n\r\n";
        };
        QTest::newRow("page 2") << PageRow{"header", 1, 40, header("-2-"), 2};
        QTest::newRow("page 10") << PageRow{"header", 9, 40, header("-0-"), 2};
        QTest::newRow("page 23") << PageRow{"header", 22, 58, header("-3-"), 2};
    }
    void pageFurniture() {
        QFETCH(PageRow, row);
        const auto& [part, page, line, expected, lineAfter] = row;
        ReportWriter out = plainWriter();
        out.ReportPage = page;
        out.ReportLine = line;
        if (part == "header") {
            out.PrintPageHeader();
        } else {
            part == "notice" ? out.PrintNoticeFooter() : out.PrintPublisherFooter();
        }
        QCOMPARE(bytes(out), expected);
        QCOMPARE(out.ReportLine, lineAfter);
        QCOMPARE(out.ReportPage, part == "header" ? page + 1 : page);
    }

    void truthfulnessMarksAndFootnotes_data() {
        QTest::addColumn<MarkRow>("row");
        const QStringList inaccurate = {"       * These test results", "         are inaccurate"};
        const QStringList omitted = {"       ** Too many omitted items",
                                     "          to score this scale"};
        QTest::newRow("89, all scored") << MarkRow{89, 4, " ", {"", ""}};
        QTest::newRow("89, one not scored") << MarkRow{89, 5, " ", omitted};
        QTest::newRow("90, all scored") << MarkRow{90, 0, "*", inaccurate};
        QTest::newRow("90 outranks not scored") << MarkRow{90, 5, "*", inaccurate};
    }
    void truthfulnessMarksAndFootnotes() {
        QFETCH(MarkRow, row);
        const auto& [truthfulness, violenceOmitted, mark, notes] = row;
        ReportFixture f;
        f.setPercentiles(truthfulness, 50, 50, 50, 50);
        f.state().OmittedCount = {0, 0, 0, 0, violenceOmitted, 0};
        const QStringList rows = profile(f);
        for (const int i : {4, 6, 8, 12}) {
            QCOMPARE(rows[i].mid(31, 1), mark);
        }
        QCOMPARE(rows[14],
                 notes[0].leftJustified(37) + "0               40          70      90 100");
        QCOMPARE(rows[15],
                 notes[1].leftJustified(37) + "----------- PERCENTILE SCORES -----------");
    }

    // Age, sex, race, the five raw scores and the eleven court counts ('_' for a blank) give
    // scores worked out apart from the program, term by term in double precision. The outcome
    // line is centred about column 42.
    void predictionScoreAndOutcome_data() {
        QTest::addColumn<PredictionRow>("row");
        QTest::newRow("high") << PredictionRow{"15 2 3  5 12 20 31 40  13 2 N/A 4 1 0 3 2 0 1 9",
                                               34, "High", 26};
        QTest::newRow("negative") << PredictionRow{"12 N/A 6  0 0 9 0 0  0 0 3 0 0 0 0 2 3 0 0",
                                                   -10, "", 28};
        QTest::newRow("padded counts") << PredictionRow{
            "17 1 1  3 8 6 9 10  14 _3 _0 _1 _0 _0 _1 _1 _0 _0 _0", 13, "Average", 25};
        // Only the truancy count weighs: the edges of the bands.
        const PredictionRow edges[] = {{"0", 0, "Low", 27},     {"6", 6, "Low", 27},
                                       {"7", 7, "Average", 25}, {"20", 20, "Average", 25},
                                       {"21", 21, "High", 26},  {"-1", -1, "", 28}};
        for (const auto& [truancy, score, word, column] : edges) {
            QTest::addRow("%s at %d", word.isEmpty() ? "no word" : qPrintable(word), score)
                << PredictionRow{"0 0 0  0 0 0 0 0  0 " + truancy + " 0 0 0 0 0 0 0 0 0", score,
                                 word, column};
        }
    }
    void predictionScoreAndOutcome() {
        QFETCH(PredictionRow, row);
        const auto& [inputs, score, word, column] = row;
        const QStringList in = inputs.split(' ', Qt::SkipEmptyParts).replaceInStrings("_", " ");
        ReportFixture f;
        ScoringState& s = f.state();
        for (std::size_t k = 0; k < 19; ++k) {
            const QString& value = in[static_cast<qsizetype>(k)];
            if (k < 3) {
                s.ClientInfo[k + 2] = value.toStdString();
            } else if (k < 8) {
                s.RawScore[k - 2] = value.toDouble();
            } else {
                s.CourtCounts[k - 7] = value.toStdString();
            }
        }
        QCOMPARE(PredictionScore(s), score);
        ReportWriter out = f.writer(30);
        PrintPrediction(out, f.inputs());
        const QString line = AtColumn(column, "*** Prediction Outcome: " + word + " ***");
        QCOMPARE(ReportLines(out.bytes()), (QStringList{"", line, ""}));
        QCOMPARE(out.ReportLine, 33);
    }

    // A listing row that makes line 58 starts a new page (the count then says where); the
    // closing empty line is written and counted only while the page is unfinished.
    void listingsBreakAndCloseTheirPages_data() {
        QTest::addColumn<ClosingRow>("row");
        QTest::newRow("responses reach 57") << ClosingRow{"responses", 51, 6, 58};
        QTest::newRow("responses reach 58") << ClosingRow{"responses", 52, 5, 58};
        QTest::newRow("comments reach 57") << ClosingRow{"comments", 49, 9, 58};
        QTest::newRow("comments reach 58") << ClosingRow{"comments", 50, 8, 58};
        QTest::newRow("section 2 with room") << ClosingRow{"section 2", 40, 13, 53};
        // The introduction makes 54, the fourth row 58; rows 5 and 6 go on the new page.
        QTest::newRow("section 2 breaks at row 4") << ClosingRow{"section 2", 48, 16, 5};
        // The last row fills the page: the new page begins without the empty line.
        QTest::newRow("section 2 ends a page") << ClosingRow{"section 2", 46, 15, 2};
        // The fixture's items take three rows in each pair of columns. Introduction 5 and
        // headings 2: the first row counts line + 8.
        QTest::newRow("first significant row makes 58") << ClosingRow{"significant", 50, 21, 12};
        // The third makes 58: the next page begins without the closing empty line.
        QTest::newRow("third significant row makes 58") << ClosingRow{"significant", 48, 20, 9};
        QTest::newRow("headings reach 58, no break") << ClosingRow{"significant", 51, 15, 66};
    }
    void listingsBreakAndCloseTheirPages() {
        QFETCH(ClosingRow, row);
        const auto& [section, line, lines, lineAfter] = row;
        ReportFixture f;
        ReportWriter out = f.writer(line);
        if (section == "responses") {
            PrintResponses(out, f.inputs(), 1);
        } else if (section == "comments") {
            PrintComments(out);
        } else if (section == "section 2") {
            PrintSection2Answers(out, f.inputs());
        } else {
            PrintSignificantItems(out, f.inputs());
        }
        QCOMPARE(ReportLines(out.bytes()).size(), lines);
        QCOMPARE(out.ReportLine, lineAfter);
    }

    void scaleWithoutSignificantItemsSaysSo() {
        ReportFixture f;
        f.setDeviant({50});
        ReportWriter out = f.writer(2);
        PrintSignificantItems(out, f.inputs());
        const QString none[2] = {"Note: No significant items were", "reported for this scale."};
        QCOMPARE(ReportLines(out.bytes()).mid(7),
                 (QStringList{pairRow(none[0], none[0]), pairRow(none[1], none[1]), "",
                              pairRow("ANTISOCIAL", "VIOLENCE"), pairRow("----------", "--------"),
                              pairRow(none[0], significant(50)), pairRow(none[1], ""), "", ""}));
        QCOMPARE(out.ReportLine, 2 + 5 + 2 + 2 + 1 + 2 + 2 + 1 + 1);
    }
};

QTEST_GUILESS_MAIN(PageLayoutTest)
#include "PageLayoutTest.moc"
