#include <QtTest>

#include "ReportFixture.h"
#include "report/Sections.h"
#include "storage/DataFileError.h"

using namespace qlm;
using qlm::test::ReportFixture;
using qlm::test::ReportLines;
using qlm::test::TestFolder;

class NarrativeTest : public QObject {
    Q_OBJECT

private slots:
    void blockFollowsTheRangeOfThePercentile_data();
    void blockFollowsTheRangeOfThePercentile();
    void alcoholAndDrugsAreComposedFromTheProblemRange_data();
    void alcoholAndDrugsAreComposedFromTheProblemRange();
    void copiedNarrativeBreaksThePageAfterLine57();
    void composedParagraphBreaksThePageAt58();
    void deviantItemList_data();
    void deviantItemList();
    void justification_data();
    void justification();
    void composedLinesWrapAtTheLastBlankWithin71_data();
    void composedLinesWrapAtTheLastBlankWithin71();
    void shippedTextsHaveEveryBlockWithinTheMargin_data();
    void shippedTextsHaveEveryBlockWithinTheMargin();
    void brokenNarrativeFilesAreNamed_data();
    void brokenNarrativeFilesAreNamed();
    void invalidTextIsCopiedUpToEnd_data();
    void invalidTextIsCopiedUpToEnd();
};

namespace {

// A Violence narrative file whose every block names its key; CR LF ends as an editor may leave.
void writeKeyedViolenceFile(const ReportFixture& f) {
    std::string text;
    for (const char* key :
         {"LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
        text += std::string(key) + "\r\nblock " + key + "\r\nsecond line\r\nEND\r\n";
    }
    TestFolder::write(f.program("QLMVI.TXT"), text);
}

QStringList narrative(ReportFixture& f, int scale, int reportLine = 10) {
    ReportWriter out = f.writer();
    out.ReportLine = reportLine;
    PrintScaleNarrative(out, f.session, scale);
    return ReportLines(out.bytes());
}

}  // namespace

void NarrativeTest::blockFollowsTheRangeOfThePercentile_data() {
    QTest::addColumn<int>("percentile");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("block");
    QTest::newRow("0") << 0 << "LOW"
                       << "LOW";
    QTest::newRow("39") << 39 << "LOW"
                        << "LOW";
    QTest::newRow("40") << 40 << "MEDIUM"
                        << "MEDIUM-LOW";
    QTest::newRow("55") << 55 << "MEDIUM"
                        << "MEDIUM-LOW";
    QTest::newRow("56") << 56 << "MEDIUM"
                        << "MEDIUM-HIGH";
    QTest::newRow("69") << 69 << "MEDIUM"
                        << "MEDIUM-HIGH";
    QTest::newRow("70") << 70 << "PROBLEM"
                        << "PROBLEM";
    QTest::newRow("85") << 85 << "PROBLEM"
                        << "PROBLEM";
    QTest::newRow("89") << 89 << "PROBLEM"
                        << "PROBLEM";
    QTest::newRow("90") << 90 << "MAXIMUM"
                        << "MAXIMUM-LOW";
    QTest::newRow("94") << 94 << "MAXIMUM"
                        << "MAXIMUM-LOW";
    QTest::newRow("95") << 95 << "MAXIMUM"
                        << "MAXIMUM-HIGH";
    QTest::newRow("99") << 99 << "MAXIMUM"
                        << "MAXIMUM-HIGH";
}

void NarrativeTest::blockFollowsTheRangeOfThePercentile() {
    QFETCH(int, percentile);
    QFETCH(QString, range);
    QFETCH(QString, block);
    ReportFixture f;
    writeKeyedViolenceFile(f);
    f.state().Percentile[4] = static_cast<std::int16_t>(percentile);
    ReportWriter out = f.writer();
    out.ReportLine = 10;
    PrintScaleNarrative(out, f.session, 4);
    const QString heading = ("       Violence SCALE: " + range + " RISK RANGE").leftJustified(60) +
                            "RISK PERCENTILE:" + QString::number(percentile);
    QCOMPARE(ReportLines(out.bytes()),
             (QStringList{heading, "        block " + block, "        second line"}));
    QCOMPARE(out.ReportLine, 13);
}

void NarrativeTest::alcoholAndDrugsAreComposedFromTheProblemRange_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("percentile");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("alcohol 69 is copied")
        << 2 << 69
        << "        This youth's Alcohol Scale score is in the upper medium risk range (56";
    QTest::newRow("alcohol 75 is composed")
        << 2 << 75 << "       This youth's Alcohol Scale score is in the problem risk (70 to 89th";
    QTest::newRow("drugs 65 is copied")
        << 3 << 65
        << "        This youth's Drugs Scale score is in the upper medium risk  range  (56";
    QTest::newRow("drugs 70 is composed")
        << 3 << 70 << "       This juvenile's Drugs Scale score is in the problem risk (70 to 89th";
    QTest::newRow("violence 75 is copied")
        << 4 << 75
        << "        This youth's Violence Scale score is in the problem risk range (70  to";
}

void NarrativeTest::alcoholAndDrugsAreComposedFromTheProblemRange() {
    QFETCH(int, scale);
    QFETCH(int, percentile);
    QFETCH(QString, firstLine);
    ReportFixture f;
    f.state().Percentile[static_cast<std::size_t>(scale)] = static_cast<std::int16_t>(percentile);
    const QStringList lines = narrative(f, scale);
    // Copied lines start in column 9, composed ones (justified) in column 8.
    QCOMPARE(lines.value(1).indexOf("This"), firstLine.indexOf("This"));
    QCOMPARE(lines.value(1).simplified(), firstLine.simplified());
}

void NarrativeTest::copiedNarrativeBreaksThePageAfterLine57() {
    ReportFixture f;
    writeKeyedViolenceFile(f);
    f.state().Percentile[4] = 20;
    ReportWriter out = f.writer();
    out.ReportLine = 55;
    PrintScaleNarrative(out, f.session, 4);
    // The heading makes 56, the first line 57 (no break), the second 58: a new page follows it.
    const QStringList lines = ReportLines(out.bytes());
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[1], "        block LOW");
    QCOMPARE(lines[2], "        second line");
    QCOMPARE(lines[3], "\f");
    QVERIFY(lines[4].startsWith("       NAME: ROSALIND EXAMPLE"));
    QCOMPARE(lines[5], "");
    QCOMPARE(out.ReportLine, 2);
    QCOMPARE(out.ReportPage, 2);
}

void NarrativeTest::composedParagraphBreaksThePageAt58() {
    ReportFixture f;
    ReportWriter out = f.writer();
    out.ReportLine = 56;
    PrintComposedParagraph(out, std::string(60, 'a') + " " + std::string(60, 'b') + " end");
    const QStringList lines = ReportLines(out.bytes());
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], "       " + QString(60, 'a'));                            // 57
    QCOMPARE(lines[1], "       " + QString(60, 'b') + QString(8, ' ') + "end");  // 58, justified
    QCOMPARE(lines[2], "\f");
    QCOMPARE(out.ReportLine, 2);
}

void NarrativeTest::deviantItemList_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<QList<int>>("deviant");
    QTest::addColumn<int>("answer102");
    QTest::addColumn<int>("answer103");
    QTest::addColumn<QString>("list");
    // Alcohol lists 8, 13, 18, ... 53, 56, 82; Drugs 10, 15, ... 72, 95 (the fixture's tables).
    QTest::newRow("none") << 2 << QList<int>{} << 2 << 2 << "";
    QTest::newRow("one keeps its blank") << 2 << QList<int>{53} << 2 << 4 << " 53";
    QTest::newRow("two") << 2 << QList<int>{13, 53} << 0 << 0 << "13 and 53";
    QTest::newRow("three") << 2 << QList<int>{8, 53} << 3 << 2 << "8, 53 and 102";
    QTest::newRow("four") << 2 << QList<int>{8, 13, 53} << 4 << 1 << "8, 13, 53 and 103";
    QTest::newRow("answers only") << 2 << QList<int>{} << 1 << 3 << "102 and 103";
    QTest::newRow("items off the list") << 2 << QList<int>{10, 60} << 2 << 2 << "";
    QTest::newRow("drugs ignore 102 answered 1") << 3 << QList<int>{72} << 1 << 1 << " 72";
    QTest::newRow("drugs add 102 answered 2")
        << 3 << QList<int>{15, 72} << 2 << 1 << "15, 72 and 102";
    QTest::newRow("drugs add 102 answered 3") << 3 << QList<int>{} << 3 << 0 << " 102";
}

void NarrativeTest::deviantItemList() {
    QFETCH(int, scale);
    QFETCH(QList<int>, deviant);
    QFETCH(int, answer102);
    QFETCH(int, answer103);
    QFETCH(QString, list);
    ReportFixture f;
    f.state().ItemScore.fill(0);
    for (int item : deviant) {
        f.state().ItemScore[static_cast<std::size_t>(item)] = 2;
    }
    f.state().ItemAnswers[102] = answer102;
    f.state().ItemAnswers[103] = answer103;
    QCOMPARE(QString::fromStdString(DeviantItemList(f.session, scale)), list);
}

void NarrativeTest::justification_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("justified");
    const QString w5 = "wordy";
    QStringList nine{"eightchr"};
    for (int i = 0; i < 8; ++i) {
        nine << w5;
    }
    QTest::newRow("55 stays") << QString(27, 'x') + " " + QString(27, 'y')
                              << QString(27, 'x') + " " + QString(27, 'y');
    // 56 characters, 8 gaps, 15 blanks to add. Round one widens every gap by one; from then
    // on the search, going on left of the blank it added, finds the gap's other blanks too,
    // so a widened gap grows by its whole width each round.
    QTest::newRow("56 to 71")
        << nine.join(' ')
        << "eightchr  wordy  wordy  wordy  wordy   wordy    wordy    wordy    wordy";
    QTest::newRow("70 widens the rightmost gap")
        << QString(34, 'x') + " " + QString(17, 'y') + " " + QString(17, 'z')
        << QString(34, 'x') + " " + QString(17, 'y') + "  " + QString(17, 'z');
    // Rounds: 3 + 6 + 6 blanks (the double gap 2 + 2 + 4 + 2, the single 1 + 1 + 2 + 4 - 2).
    QTest::newRow("double gap grows by its width")
        << QString(20, 'x') + "  " + QString(20, 'y') + " " + QString(13, 'z')
        << QString(20, 'x') + QString(10, ' ') + QString(20, 'y') + QString(8, ' ') +
               QString(13, 'z');
    QTest::newRow("71 stays") << QString(35, 'x') + " " + QString(35, 'y')
                              << QString(35, 'x') + " " + QString(35, 'y');
    QTest::newRow("no gap stays") << QString(60, 'x') << QString(60, 'x');
    QTest::newRow("a first blank is no gap") << " " + QString(59, 'x') << " " + QString(59, 'x');
}

void NarrativeTest::justification() {
    QFETCH(QString, line);
    QFETCH(QString, justified);
    QCOMPARE(QString::fromStdString(JustifyLine(line.toStdString())), justified);
}

void NarrativeTest::composedLinesWrapAtTheLastBlankWithin71_data() {
    QTest::addColumn<QString>("paragraph");
    QTest::addColumn<QStringList>("lines");
    const QString a30(30, 'a');
    const QString b30(30, 'b');
    QTest::newRow("71 fit whole") << QString(35, 'a') + " " + QString(35, 'b')
                                  << QStringList{QString(35, 'a') + " " + QString(35, 'b')};
    QTest::newRow("72 move the last word")
        << a30 + " " + b30 + " " + QString(10, 'c')
        << QStringList{a30 + QString(11, ' ') + b30, QString(10, 'c')};
    QTest::newRow("trailing blanks go")
        << QString(50, 'a') + "   " + b30 << QStringList{QString(50, 'a'), b30};
    QTest::newRow("a leading blank stays")
        << QString(70, 'a') + "  " + QString(5, 'b') << QStringList{QString(70, 'a'), " bbbbb"};
    QTest::newRow("a word longer than a line is cut")
        << QString(80, 'a') << QStringList{QString(71, 'a'), QString(9, 'a')};
}

void NarrativeTest::composedLinesWrapAtTheLastBlankWithin71() {
    QFETCH(QString, paragraph);
    QFETCH(QStringList, lines);
    ReportFixture f;
    ReportWriter out = f.writer();
    out.ReportLine = 10;
    PrintComposedParagraph(out, paragraph.toStdString());
    QStringList expected;
    for (const QString& line : lines) {
        expected << "       " + line;
    }
    QCOMPARE(ReportLines(out.bytes()), expected);
    QCOMPARE(out.ReportLine, 10 + lines.size());
}

void NarrativeTest::shippedTextsHaveEveryBlockWithinTheMargin_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("percentile");
    for (int scale = 1; scale <= 5; ++scale) {
        for (int percentile : {0, 40, 56, 70, 90, 95}) {
            QTest::addRow("scale %d at %d", scale, percentile) << scale << percentile;
        }
    }
}

void NarrativeTest::shippedTextsHaveEveryBlockWithinTheMargin() {
    QFETCH(int, scale);
    QFETCH(int, percentile);
    ReportFixture f;  // the shipped narrative files and publisher texts
    f.state().Percentile[static_cast<std::size_t>(scale)] = static_cast<std::int16_t>(percentile);
    ReportWriter out = f.writer();
    out.ReportLine = 3;
    PrintScaleNarrative(out, f.session, scale);
    PrintInvalidText(out, f.session);
    out.PrintNoticeFooter();
    out.ReportLine = 56;
    out.PrintPublisherFooter();
    const QStringList lines = ReportLines(out.bytes());
    QVERIFY(lines.size() > 12);
    for (const QString& line : lines) {
        QVERIFY2(line.size() <= 78, qPrintable(line));
    }
}

void NarrativeTest::brokenNarrativeFilesAreNamed_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");
    QTest::newRow("missing file") << QByteArray() << "cannot be read";
    QTest::newRow("no block") << QByteArray("LOW\nText\nEND\n") << "has no block \"MEDIUM-HIGH\"";
    QTest::newRow("no END") << QByteArray("MEDIUM-HIGH\nText\nMAXIMUM-LOW\n")
                            << "block \"MEDIUM-HIGH\" ends before its END line";
    QTest::newRow("key with a trailing blank")
        << QByteArray("MEDIUM-HIGH \nText\nEND\n") << "has no block \"MEDIUM-HIGH\"";
}

void NarrativeTest::brokenNarrativeFilesAreNamed() {
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    ReportFixture f;
    const std::string path = f.program("QLMAS.TXT");
    if (content.isEmpty()) {
        QFile::remove(QString::fromStdString(path));
    } else {
        TestFolder::write(path, content.toStdString());
    }
    f.state().Percentile[5] = 60;
    try {
        narrative(f, 5);
        QFAIL("no error");
    } catch (const DataFileError& e) {
        QCOMPARE(e.file(), path);
        QVERIFY2(QString(e.what()).contains(problem), e.what());
    }
}

void NarrativeTest::invalidTextIsCopiedUpToEnd_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("two lines") << QByteArray("First line.\r\nSecond line.\r\nEND\r\nafter\r\n")
                               << QStringList{"       First line.", "       Second line."};
    QTest::newRow("END first") << QByteArray("END\nnot copied\n") << QStringList{};
    QTest::newRow("end in lower case is text")
        << QByteArray("end\nEND\n") << QStringList{"       end"};
}

void NarrativeTest::invalidTextIsCopiedUpToEnd() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, lines);
    ReportFixture f;
    TestFolder::write(f.program("INVAL.TXT"), content.toStdString());
    ReportWriter out = f.writer();
    out.ReportLine = 57;  // no page-end check while copying
    PrintInvalidText(out, f.session);
    QCOMPARE(ReportLines(out.bytes()), lines);
    QCOMPARE(out.ReportLine, 57 + lines.size());
}

QTEST_GUILESS_MAIN(NarrativeTest)
#include "NarrativeTest.moc"
