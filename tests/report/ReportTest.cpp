#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <tuple>
#include <utility>

#include "report/Report.h"
#include "report/ReportWriter.h"
#include "report/Sections.h"
#include "scoring/TestSpec.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/CodeTexts.h"
#include "storage/DataFileError.h"
#include "storage/FileSystem.h"
#include "support/Rows.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

// The lines of report bytes without their CR LF ends (an empty rest after the last is dropped).
QStringList ReportLines(const std::string& bytes) {
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// Shipped report texts with hand-filled scoring state, to test the report apart from scoring.
class ReportFixture {
public:
    ReportFixture() : session(files, folder.program()) {
        for (const char* name : {"QLMVA.TXT", "QLMAL.TXT", "QLMDG.TXT", "QLMVI.TXT", "QLMAS.TXT",
                                 "INVAL.TXT", "PUBLISHERS.TXT"}) {
            TestFolder::write(program(name),
                              TestFolder::read(TestFolder::sourceFolder() + "/data/" + name));
        }
        FillCodeTexts(session.Codes);
        SetTestSpec(session.Constants);
        fillTables();
        fillClient();
    }

    std::string program(const std::string& name) const { return folder.program() + "/" + name; }
    ScoringState& state() { return session.Scoring; }
    ReportInputs inputs() { return ReportInputsOf(session); }

    ReportWriter writer(int line = 1) const {
        ReportWriter out(session.Scoring.ClientInfo[1],
                         LoadPublisherTexts(files, folder.program(), session.Publisher),
                         session.Publisher);
        out.ReportLine = line;
        return out;
    }

    void setPercentile(int scale, int percentile) {
        state().Percentile[static_cast<std::size_t>(scale)] = static_cast<std::int16_t>(percentile);
    }

    void setPercentiles(int truth, int alcohol, int drugs, int violence, int antisocial) {
        int scale = 0;
        for (int p : {0, truth, alcohol, drugs, violence, antisocial}) {
            setPercentile(scale++, p);
        }
    }

    void setDeviant(std::initializer_list<int> items) {
        state().ItemScore.fill(0);
        for (int item : items) {
            state().ItemScore[static_cast<std::size_t>(item)] = 1;
        }
    }

    TestFolder folder;
    FileSystem files;
    Session session;

private:
    static std::string number3(int item) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%3d", item);
        return buffer;
    }

    void fillTables() {
        ScoringTables& t = session.Tables;
        const char* scales[] = {"", "Truthfulness", "Alcohol", "Drugs", "Violence", "Antisocial"};
        const char* files[] = {"", "QLMVA.TXT", "QLMAL.TXT", "QLMDG.TXT", "QLMVI.TXT", "QLMAS.TXT"};
        for (std::size_t i = 1; i <= 5; ++i) {
            t.ScaleName[i] = scales[i];
            t.NarrativeFile[i] = program(files[i]);
        }
        t.RiskRangeName = {"", "LOW", "MEDIUM", "PROBLEM", "MAXIMUM"};
        // Significant items 2, 4, ... 110 would leave the test; items 1 to 55 in order do not.
        for (std::size_t k = 1; k <= 55; ++k) {
            const auto item = static_cast<int>(k);
            t.SignificantItem[k] = item;
            t.SignificantItemText[k] =
                number3(item) + ". Significant answer " + std::to_string(item) + " (T)";
        }
        for (int j = 98; j <= 109; ++j) {
            for (int a = 1; a <= 4; ++a) {
                t.ChoiceText[static_cast<std::size_t>(4 * (j - 98) + a)] =
                    number3(j) + ". Choice " + std::to_string(a) + " of item " + std::to_string(j);
            }
        }
        const int alcohol[] = {8, 13, 18, 24, 29, 34, 40, 45, 51, 53, 56, 82};
        const int drugs[] = {10, 15, 19, 23, 28, 33, 38, 44, 49, 54, 59, 64, 69, 72, 95};
        std::copy(std::begin(alcohol), std::end(alcohol), t.AlcoholNarrativeItems.begin() + 1);
        std::copy(std::begin(drugs), std::end(drugs), t.DrugNarrativeItems.begin() + 1);
    }

    void fillClient() {
        ScoringState& s = session.Scoring;
        session.CurrentClient = 3;
        s.CurrentTestNumber = 3;
        s.ClientInfo = {"",  "ROSALIND EXAMPLE", "15", "2", "3",         "",
                        "9", "03/14/2011",       "0",  "",  "07/17/2026"};
        s.CourtCounts = {"", "13", "2", "N/A", "4", "1", "0", "3", "2", "0", "1", "0"};
        for (std::size_t i = 1; i <= 109; ++i) {
            s.ItemAnswers[i] = i <= 97 ? (i % 3 == 0 ? 1 : 2) : static_cast<int>(i % 4 + 1);
        }
        s.ItemAnswers[20] = 0;
        s.ItemAnswers[101] = 0;
        s.RawScore = {0, 5, 12, 20, 31, 40};
        s.OmittedCount = {0, 0, 1, 0, 0, 2};
        s.DeviantCount = {0, 4, 6, 8, 12, 15};
        setPercentiles(35, 45, 75, 88, 96);
        setDeviant({8, 13, 53, 3, 15, 72, 30, 31, 44, 50});
    }
};

using PageRow = std::tuple<QString, int, int, QByteArray, int>;  // part, page, line, bytes, after
using MarkRow = std::tuple<int, int, QString, QString>;          // truth, omitted, mark, note
using PredictionRow = std::tuple<QString, int, QString, int>;    // inputs, score, word, column
using ClosingRow = std::tuple<QString, int, int, int>;           // section, line, lines, after

// The line of the left column, and the right one from column 44.
QString pairRow(const QString& left, const QString& right) {
    return right.isEmpty() ? "       " + left : ("       " + left).leftJustified(43) + right;
}

QString significant(int k) {
    return QString::number(k).rightJustified(3) + ". Significant answer " + QString::number(k) +
           " (T)";
}

// Scale, deviant items, answers to 102 and 103, list.
using ListRow = std::tuple<int, QList<int>, int, int, QString>;
// The text file beside the program to remove or replace, its content, and the message part.
using FailureRow = std::tuple<QString, QByteArray, QString>;

// The scale and percentile, and the narrative's first line below its heading.
const struct {
    const char* name;
    int scale, percentile;
    QString line;
} NarrativeRows[] = {
    {"violence 55", 4, 55, "        block MEDIUM-LOW"},
    {"violence 56", 4, 56, "        block MEDIUM-HIGH"},
    {"violence 95", 4, 95, "        block MAXIMUM-HIGH"},
    {"alcohol 69 is copied", 2, 69,
     "        This youth's Alcohol Scale score is in the upper medium risk range (56"},
    {"alcohol 70", 2, 70,
     "       This youth's Alcohol Scale score is in the problem  risk  (70  to  89th"},
    {"alcohol 89", 2, 89,
     "       This youth's Alcohol Scale score is in the problem  risk  (70  to  89th"},
    {"alcohol 90", 2, 90,
     "       This youth's Alcohol Scale  score  is  in  the  problem  (90  to  100th"},
    {"alcohol 95", 2, 95,
     "       This youth's Alcohol Scale score is in the severe problem (90 to  100th"},
    {"drugs 70 is composed", 3, 70,
     "       This juvenile's Drugs Scale score is in the problem risk  (70  to  89th"},
};

}  // namespace

// The report's parts, then whole reports against the expected files.
class ReportTest : public QObject {
    Q_OBJECT

private slots:
    // The footers pad the page to line 56 and stop at its end. The header has the name from
    // column 8, the page's last digit in columns 41 to 43 and "QLM REPORT" in 69 to 78.
    void pageFurniture_data() {
        QTest::addColumn<PageRow>("row");
        const QByteArray rights = QByteArray(22, ' ') + "RIGHTS\r\n";
        const QByteArray notice = rights + QByteArray(33, ' ') + "RESERVED\r\n";
        const QByteArray address = "       ADDRESS\r\n";
        QTest::newRow("notice at 55") << PageRow{"notice", 1, 55, "\r\n" + notice, 58};
        QTest::newRow("notice at 57") << PageRow{"notice", 1, 57, rights, 58};
        QTest::newRow("notice at 58") << PageRow{"notice", 1, 58, "", 58};
        QTest::newRow("publisher at 55") << PageRow{"publisher", 1, 55, "\r\n" + address, 57};
        QTest::newRow("publisher at 57") << PageRow{"publisher", 1, 57, address, 58};
        QTest::newRow("publisher at 58") << PageRow{"publisher", 1, 58, "", 58};
        const auto header = [](const char* mark) {
            return "\f\r\n       NAME: JO EXAMPLE" + QByteArray(17, ' ') + mark +
                   QByteArray(25, ' ') + "QLM REPORT\r\n\r\n";
        };
        QTest::newRow("column passed") << PageRow{"column", 1, 9, "abcdef\r\n    |-3 | 12345 ", 9};
        QTest::newRow("page 10") << PageRow{"header", 9, 40, header("-0-"), 2};
        QTest::newRow("page 23") << PageRow{"header", 22, 58, header("-3-"), 2};
    }
    void pageFurniture() {
        QFETCH(PageRow, row);
        const auto& [part, page, line, expected, lineAfter] = row;
        PublisherTexts texts;
        texts.AddressLine = "ADDRESS";
        texts.RightsLine = "RIGHTS";
        texts.ReservedLine = "RESERVED";
        ReportWriter out("JO EXAMPLE", texts, PublisherCode::Second);
        out.ReportPage = page;
        out.ReportLine = line;
        if (part == "header") {
            out.PrintPageHeader();
        } else if (part == "column") {  // a column passed wraps; numbers are padded
            out.text("abcdef").atColumn(5).text("|").number(-3).text("|").number(12345);
        } else {
            part == "notice" ? out.PrintNoticeFooter() : out.PrintPublisherFooter();
        }
        QCOMPARE(QByteArray::fromStdString(out.bytes()), expected);
        QCOMPARE(out.ReportLine, lineAfter);
        QCOMPARE(out.ReportPage, part == "header" ? page + 1 : page);
    }

    // The footnotes' texts are the expected files'.
    void truthfulnessMarksAndFootnotes_data() {
        QTest::addColumn<MarkRow>("row");
        QTest::newRow("89, one not scored") << MarkRow{89, 5, " ", "       ** Too many omitted"};
        QTest::newRow("90, all scored") << MarkRow{90, 0, "*", "       * These test results"};
    }
    void truthfulnessMarksAndFootnotes() {
        QFETCH(MarkRow, row);
        const auto& [truthfulness, violenceOmitted, mark, note] = row;
        ReportFixture f;
        f.setPercentiles(truthfulness, 50, 50, 50, 50);
        f.state().OmittedCount = {0, 0, 0, 0, violenceOmitted, 0};
        ReportWriter out = f.writer(20);
        PrintProfile(out, f.inputs(), 1, 5);
        const QStringList rows = ReportLines(out.bytes());
        for (const int i : {4, 6, 8, 12}) {
            QCOMPARE(rows[i].mid(31, 1), mark);
        }
        QVERIFY2(rows[14].startsWith(note), qPrintable(rows[14]));
    }

    // Age, sex, race, raw scores, court counts ('_' a blank); scores worked out by hand.
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
        const QString line = QString(column - 1, ' ') + "*** Prediction Outcome: " + word + " ***";
        QCOMPARE(ReportLines(out.bytes()), (QStringList{"", line, ""}));
        QCOMPARE(out.ReportLine, 33);
    }

    // A row making line 58 breaks the page; the closing empty line only on an unfinished page.
    void listingsBreakAndCloseTheirPages_data() {
        QTest::addColumn<ClosingRow>("row");
        QTest::newRow("responses reach 57") << ClosingRow{"responses", 51, 6, 58};
        QTest::newRow("responses reach 58") << ClosingRow{"responses", 52, 5, 58};
        QTest::newRow("comments reach 57") << ClosingRow{"comments", 49, 9, 58};
        QTest::newRow("comments reach 58") << ClosingRow{"comments", 50, 8, 58};
        QTest::newRow("composed line makes 58") << ClosingRow{"composed", 56, 5, 2};
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
        } else if (section == "composed") {
            PrintComposedParagraph(out, std::string(60, 'a') + " " + std::string(60, 'b') + " end");
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
    // Violence copies the block of its band (column 9); Alcohol and Drugs compose from 70 (8).
    void narrativeFollowsThePercentile_data() { test::addRows(NarrativeRows); }
    void narrativeFollowsThePercentile() {
        const auto& [name, scale, percentile, line] = test::currentRow(NarrativeRows);
        ReportFixture f;
        std::string text;
        for (const char* key :
             {"LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
            text += std::string(key) + "\r\nblock " + key + "\r\nsecond line\r\nEND\r\n";
        }
        TestFolder::write(f.program("QLMVI.TXT"), text);
        f.setPercentile(scale, percentile);
        ReportWriter out = f.writer(10);
        PrintScaleNarrative(out, f.inputs(), scale);
        QCOMPARE(ReportLines(out.bytes()).value(1), line);
    }

    // Alcohol lists 8, 13, 18, ... 53, 56, 82; Drugs 10, 15, ... 72, 95 (the fixture's tables).
    void deviantItemList_data() {
        QTest::addColumn<ListRow>("row");
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

    // QLM_UPDATE_EXPECTED rewrites the expected files (check them line by line).
    void completeReportsMatchTheirExpectedFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("full") << "full";
        QTest::newRow("not scored") << "not-scored";
        QTest::newRow("invalid") << "invalid";
    }
    void completeReportsMatchTheirExpectedFiles() {
        QFETCH(QString, name);
        ReportFixture f;
        if (name == "full") {
            // Long narratives push the responses grid onto a page of its own.
            f.setPercentiles(80, 96, 92, 94, 96);
        } else if (name == "not-scored") {
            // Truthfulness 94 is the last of a full report; codes without a text print "N/A".
            f.session.Publisher = PublisherCode::First;
            f.setPercentiles(94, 93, 97, 40, 9);
            f.state().ClientInfo[3] = "";
            f.state().ClientInfo[4] = "9";
            f.state().OmittedCount = {0, 1, 0, 2, 6, 0};
            f.state().ItemAnswers[104] = 0;
            f.state().ItemAnswers[107] = 5;
            f.state().CourtCounts.fill("N/A");
        } else {
            f.setPercentiles(95, 99, 99, 99, 99);
        }
        WriteReport(f.session);
        const std::string bytes = TestFolder::read(f.program("report.prn"));
        const std::string expected =
            TestFolder::sourceFolder() + "/tests/report/expected/" + name.toStdString() + ".prn";
        if (qEnvironmentVariableIsSet("QLM_UPDATE_EXPECTED")) {
            TestFolder::write(expected, bytes);
        }
        QCOMPARE(QByteArray::fromStdString(bytes),
                 QByteArray::fromStdString(TestFolder::read(expected)));
        // The full report erases the tables it used; the invalid one leaves them.
        QCOMPARE(f.session.Tables.ScaleName[1].empty(), name != "invalid");
    }

    // A missing or incomplete text is named; the earlier report stays whole.
    void failuresLeaveTheEarlierReportWhole_data() {
        QTest::addColumn<FailureRow>("row");
        QTest::newRow("narrative file missing") << FailureRow{"QLMVI.TXT", "", "cannot be read"};
        QTest::newRow("no block") << FailureRow{"QLMAS.TXT", "LOW\nText\nEND\n",
                                                "has no block \"MAXIMUM-HIGH\""};
        QTest::newRow("no END") << FailureRow{"QLMAS.TXT", "MAXIMUM-HIGH\nText\nLOW\n",
                                              "block \"MAXIMUM-HIGH\" ends before its END line"};
        QTest::newRow("invalid-test text missing") << FailureRow{"INVAL.TXT", "", "cannot be read"};
    }
    void failuresLeaveTheEarlierReportWhole() {
        QFETCH(FailureRow, row);
        const auto& [text, content, problem] = row;
        ReportFixture f;
        if (text == "INVAL.TXT") {
            f.setPercentiles(97, 99, 99, 99, 99);
        }
        const std::string path = f.program(text.toStdString());
        QFile::remove(QString::fromStdString(path));
        if (!content.isEmpty()) {
            TestFolder::write(path, content.toStdString());
        }
        TestFolder::write(f.program("report.prn"), "an earlier client's report\r\n");
        try {
            WriteReport(f.session);
            QFAIL("no error");
        } catch (const DataFileError& e) {
            QCOMPARE(e.file(), path);
            QVERIFY2(QString(e.what()).contains(problem), e.what());
        }
        QCOMPARE(TestFolder::read(f.program("report.prn")),
                 std::string("an earlier client's report\r\n"));
        QVERIFY(!QFile::exists(QString::fromStdString(f.program("report.prn.new"))));
        QVERIFY(!f.session.Tables.ScaleName[1].empty());
    }

    // Narratives end at ReportLine 19 + the Violence lines.
    void pageRulesAroundTheNarratives_data() {
        QTest::addColumn<int>("violenceLines");
        QTest::addColumn<QStringList>("before");  // the lines before the responses heading
        const QString antisocial = "        antisocial text";
        const QString violence = "        violence text";
        const QString header =
            "       NAME: ROSALIND EXAMPLE           -3-                         QLM REPORT";
        const QString heading =
            "       Antisocial SCALE: LOW RISK RANGE                     RISK PERCENTILE:20";
        QTest::newRow("grid fits at 53")
            << 34 << QStringList{violence, "", heading, antisocial, ""};
        QTest::newRow("grid moves at 54") << 35 << QStringList{antisocial, "", "\f", header, ""};
        // The 43rd line makes 58: a new page, and no empty line before the next heading.
        QTest::newRow("narrative ends a page")
            << 43 << QStringList{violence, "\f", header, "", heading, antisocial, ""};
    }
    void pageRulesAroundTheNarratives() {
        QFETCH(int, violenceLines);
        QFETCH(QStringList, before);
        ReportFixture f;
        f.setPercentiles(20, 20, 20, 20, 20);
        for (const char* name : {"QLMVA.TXT", "QLMAL.TXT", "QLMDG.TXT", "QLMAS.TXT"}) {
            TestFolder::write(f.program(name), "LOW\nantisocial text\nEND\n");
        }
        std::string violence = "LOW\n";
        for (int i = 0; i < violenceLines; ++i) {
            violence += "violence text\n";
        }
        TestFolder::write(f.program("QLMVI.TXT"), violence + "END\n");
        const QStringList lines = ReportLines(ComposeReport(f.session));
        const qsizetype grid = lines.indexOf(QRegularExpression(" +Quillmere Responses.*"));
        QVERIFY(grid > 0);
        QCOMPARE(lines.mid(grid - before.size(), before.size()), before);
    }

    // Section 2 (16 lines) fits after items ending at 42; all 55 items end at 43.
    void section2StartsANewPageUnlessItFits() {
        for (const bool allItems : {false, true}) {
            ReportFixture f;
            f.setPercentiles(20, 20, 20, 20, 20);
            for (std::size_t item = 1; item <= 55; ++item) {
                f.state().ItemScore[item] = allItems || item != 29 ? 1 : 0;
            }
            const QStringList lines = ReportLines(ComposeReport(f.session));
            const qsizetype section2 = lines.indexOf(QRegularExpression(" +SECTION 2\\..*"));
            QCOMPARE(lines.value(section2 - 3) == "\f", allItems);
        }
    }
};

QTEST_GUILESS_MAIN(ReportTest)
#include "ReportTest.moc"
