#include <QtTest>

#include "TableFiles.h"
#include "scoring/Scoring.h"

using namespace qlm;
using qlm::test::ScoringFixture;
using qlm::test::TableFiles;

// Raw scores: item points from the keys, items 102 and 103, court history, education and the
// True-response rule.
class ScoreScalesTest : public QObject {
    Q_OBJECT

private slots:
    void itemPoints_data();
    void itemPoints();
    void itemScoreStartsFromZero();
    void substanceItems_data();
    void substanceItems();
    void courtHistory_data();
    void courtHistory();
    void education_data();
    void education();
    void trueResponses_data();
    void trueResponses();
};

namespace {

using Scores = QList<double>;  // scales 1 to 5
using Counts = QList<int>;

Scores rawScores(const ScoringState& s) {
    return {s.RawScore.begin() + 1, s.RawScore.end()};
}

template <typename List>
Counts counts(const List& values) {
    return {values.begin() + 1, values.end()};
}

}  // namespace

// Items 1 to 3 on Truthfulness, 4 and 98 on Alcohol, 1 also on Antisocial with 99.
void ScoreScalesTest::itemPoints_data() {
    QTest::addColumn<Counts>("answers");  // items 1, 2, 3, 4, 98, 99
    QTest::addColumn<Scores>("raw");
    QTest::addColumn<Counts>("omitted");
    QTest::addColumn<Counts>("deviant");
    QTest::newRow("all omitted: the key of answer 0 decides")
        << Counts{0, 0, 0, 0, 0, 0} << Scores{1, 1, 0, 0, 0} << Counts{3, 2, 0, 0, 2}
        << Counts{1, 1, 0, 0, 0};
    QTest::newRow("keyed answers, item 1 on two scales")
        << Counts{1, 2, 1, 1, 4, 1} << Scores{3, 7, 0, 0, 1} << Counts{0, 0, 0, 0, 0}
        << Counts{2, 2, 0, 0, 1};
    QTest::newRow("unkeyed answers earn 0 and are not omitted")
        << Counts{3, 4, 5, 9, 5, 2} << Scores{0, 0, 0, 0, 0} << Counts{0, 0, 0, 0, 0}
        << Counts{0, 0, 0, 0, 0};
    QTest::newRow("choice 2 of item 98") << Counts{2, 1, 2, 2, 2, 0} << Scores{0, 1, 0, 0, 0}
                                         << Counts{0, 0, 0, 0, 1} << Counts{0, 1, 0, 0, 0};
}

void ScoreScalesTest::itemPoints() {
    QFETCH(Counts, answers);
    QFETCH(Scores, raw);
    QFETCH(Counts, omitted);
    QFETCH(Counts, deviant);
    TableFiles t;
    t.scaleItems[1] = {1, 2, 3};
    t.scaleItems[2] = {4, 98};
    t.scaleItems[5] = {1, 99};
    t.setPoints({{1, 1, 1},
                 {2, 2, 2},
                 {3, 0, 1},
                 {4, 1, 3},
                 {98, 0, 1},
                 {98, 2, 1},
                 {98, 3, 2},
                 {98, 4, 4}});
    ScoringFixture f(t);
    const int items[] = {1, 2, 3, 4, 98, 99};
    for (int i = 0; i < 6; ++i) {
        f.s.ItemAnswers[items[i]] = answers[i];
    }
    f.s.Percentile.fill(50);

    ScoreScales(f.session);
    QCOMPARE(rawScores(f.s), raw);
    QCOMPARE(counts(f.s.OmittedCount), omitted);
    QCOMPARE(counts(f.s.DeviantCount), deviant);
    QCOMPARE(counts(f.s.Percentile), Counts(5, 0));
}

void ScoreScalesTest::itemScoreStartsFromZero() {
    TableFiles t;
    t.scaleItems[2] = {4};
    t.setPoints(4, 1, 3);
    ScoringFixture f(t);
    f.s.ItemScore.fill(4);
    f.s.ItemAnswers.fill(1);
    ScoreScales(f.session);
    for (int item = 1; item <= 109; ++item) {
        QCOMPARE(int(f.s.ItemScore[item]), item == 4 ? 3 : 0);
    }
}

void ScoreScalesTest::substanceItems_data() {
    QTest::addColumn<int>("a102");
    QTest::addColumn<int>("a103");
    QTest::addColumn<double>("alcohol");
    QTest::addColumn<double>("drugs");
    QTest::newRow("102 alcohol only: drugs go below 0") << 1 << 0 << 1.0 << -1.0;
    QTest::newRow("102 drugs only") << 2 << 0 << 0.0 << 2.0;
    QTest::newRow("103 choice 1") << 0 << 1 << 3.0 << 0.0;
    QTest::newRow("103 choice 2") << 0 << 2 << 0.0 << 2.0;
    QTest::newRow("103 choice 3") << 0 << 3 << 1.0 << 0.0;
    QTest::newRow("103 choice 4: no change") << 0 << 4 << 0.0 << 0.0;
    QTest::newRow("102 choice 3: no change") << 3 << 0 << 0.0 << 0.0;
    QTest::newRow("both choice 1") << 1 << 1 << 4.0 << -1.0;
    QTest::newRow("both choice 2") << 2 << 2 << 0.0 << 4.0;
}

void ScoreScalesTest::substanceItems() {
    QFETCH(int, a102);
    QFETCH(int, a103);
    QFETCH(double, alcohol);
    QFETCH(double, drugs);
    TableFiles t;
    t.scaleItems[2] = {102, 103};
    t.scaleItems[3] = {102, 103};
    t.setPoints({{102, 1, 1}, {102, 2, 2}, {103, 1, 3}, {103, 2, 2}, {103, 3, 1}});
    ScoringFixture f(t);
    f.s.ItemAnswers[102] = a102;
    f.s.ItemAnswers[103] = a103;
    ScoreScales(f.session);
    QCOMPARE(f.s.RawScore[Alcohol], alcohol);
    QCOMPARE(f.s.RawScore[Drugs], drugs);
}

void ScoreScalesTest::courtHistory_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("value");
    QTest::addColumn<Scores>("raw");  // scales 1 to 5
    const auto row = [](const char* name, int count, const char* value, Scores raw) {
        QTest::newRow(name) << count << QString(value) << raw;
    };
    row("first arrest 0", 1, "0", {0, 0, 0, 0, 0});
    row("first arrest 0.5", 1, "0.5", {0, 0, 0, 0, 0});
    row("first arrest 1", 1, "1", {0, 0, 0, 4, 3});
    row("first arrest 16", 1, "16", {0, 0, 0, 4, 3});
    row("first arrest 16.5", 1, "16.5", {0, 0, 0, 0, 0});
    row("first arrest 17", 1, "17", {0, 0, 0, 3, 2});
    row("first arrest 18", 1, "18", {0, 0, 0, 3, 2});
    row("first arrest 19", 1, "19", {0, 0, 0, 1, 0});
    row("first arrest 20", 1, "20", {0, 0, 0, 1, 0});
    row("first arrest 21", 1, "21", {0, 0, 0, 0, 0});
    row("first arrest N/A", 1, "N/A", {0, 0, 0, 0, 0});
    row("truancy N/A", 2, "N/A", {0, 0, 0, 0, 0});
    row("truancy 1", 2, "1", {0, 0, 0, 0, 1});
    row("truancy 5", 2, "5", {0, 0, 0, 0, 5});
    row("truancy 9", 2, "9", {0, 0, 0, 0, 5});
    row("truancy 2.5", 2, "2.5", {0, 0, 0, 0, 2.5});
    row("truancy -3", 2, "-3", {0, 0, 0, 0, 0});
    row("runaway 1", 3, "1", {0, 0, 0, 0, 1});
    row("runaway 2", 3, "2", {0, 0, 0, 0, 1});
    row("runaway 2.5", 3, "2.5", {0, 0, 0, 0, 0});
    row("runaway 3", 3, "3", {0, 0, 0, 0, 2});
    row("runaway 4", 3, "4", {0, 0, 0, 0, 3});
    row("runaway 4.5", 3, "4.5", {0, 0, 0, 0, 4});
    row("runaway 5", 3, "5", {0, 0, 0, 0, 4});
    row("arrests 1", 4, "1", {0, 0, 0, 0, 1});
    row("arrests 2", 4, "2", {0, 0, 0, 0, 1});
    row("arrests 2.5", 4, "2.5", {0, 0, 0, 0, 0});
    row("arrests 3", 4, "3", {0, 0, 1, 0, 2});
    row("arrests 4", 4, "4", {0, 0, 1, 0, 2});
    row("arrests 5", 4, "5", {0, 0, 2, 0, 3});
    row("arrests 6", 4, "6", {0, 0, 2, 0, 3});
    row("arrests 6.5", 4, "6.5", {0, 0, 3, 0, 5});
    row("arrests 7", 4, "7", {0, 0, 3, 0, 5});
    row("probation 4", 5, "4", {0, 0, 0, 4, 0});
    row("probation 5", 5, "5", {0, 0, 0, 4, 0});
    row("probation 1.5", 5, "1.5", {0, 0, 0, 1.5, 0});
    row("revocations 3", 6, "3", {0, 0, 0, 3, 0});
    row("revocations 9", 6, "9", {0, 0, 0, 4, 0});
    row("detentions 5", 7, "5", {0, 0, 0, 0, 5});
    row("detentions 6", 7, "6", {0, 0, 0, 0, 5});
    row("convictions", 8, "9", {0, 0, 0, 0, 0});
    row("DUI arrests 3", 9, "3", {0, 3, 0, 0, 0});
    row("DUI arrests 3.5", 9, "3.5", {0, 5, 0, 0, 0});
    row("DUI arrests 4", 9, "4", {0, 5, 0, 0, 0});
    row("alcohol arrests 5", 10, "5", {0, 5, 0, 0, 0});
    row("alcohol arrests 7", 10, "7", {0, 5, 0, 0, 0});
    row("drug arrests 2", 11, "2", {0, 0, 2, 0, 0});
    row("drug arrests 8", 11, "8", {0, 0, 5, 0, 0});
}

void ScoreScalesTest::courtHistory() {
    QFETCH(int, count);
    QFETCH(QString, value);
    QFETCH(Scores, raw);
    ScoringFixture f;
    f.s.CourtCounts[count] = value.toStdString();
    ScoreScales(f.session);
    QCOMPARE(rawScores(f.s), raw);
}

void ScoreScalesTest::education_data() {
    QTest::addColumn<QString>("education");
    QTest::addColumn<double>("points");
    QTest::newRow("blank") << "" << 3.0;
    QTest::newRow("N") << "N" << 0.0;
    QTest::newRow("n") << "n" << 0.0;
    QTest::newRow("0") << "0" << 3.0;
    QTest::newRow("6") << "6" << 3.0;
    QTest::newRow("6.5") << "6.5" << 0.0;
    QTest::newRow("7") << "7" << 2.0;
    QTest::newRow("8") << "8" << 2.0;
    QTest::newRow("9") << "9" << 1.0;
    QTest::newRow("11") << "11" << 1.0;
    QTest::newRow("12") << "12" << 0.0;
}

void ScoreScalesTest::education() {
    QFETCH(QString, education);
    QFETCH(double, points);
    ScoringFixture f;
    f.s.ClientInfo[6] = education.toStdString();
    ScoreScales(f.session);
    QCOMPARE(rawScores(f.s), (Scores{0, 0, 0, 0, points}));
}

void ScoreScalesTest::trueResponses_data() {
    QTest::addColumn<int>("trueCount");
    QTest::addColumn<int>("sectionTwo");  // answer of items 98 to 109
    QTest::addColumn<double>("truthfulness");
    QTest::newRow("92 True") << 92 << 0 << 1.0;
    QTest::newRow("92 True, section 2 all choice 1") << 92 << 1 << 1.0;
    QTest::newRow("93 True") << 93 << 0 << 99.0;
    QTest::newRow("all True") << 97 << 0 << 99.0;
}

void ScoreScalesTest::trueResponses() {
    QFETCH(int, trueCount);
    QFETCH(int, sectionTwo);
    QFETCH(double, truthfulness);
    TableFiles t;
    t.scaleItems[1] = {1};
    t.setPoints(1, 1, 1);
    ScoringFixture f(t);
    for (int item = 1; item <= 97; ++item) {
        f.s.ItemAnswers[item] = item <= trueCount ? 1 : 2;
    }
    for (int item = 98; item <= 109; ++item) {
        f.s.ItemAnswers[item] = sectionTwo;
    }
    ScoreScales(f.session);
    QCOMPARE(f.s.RawScore[Truthfulness], truthfulness);
}

QTEST_GUILESS_MAIN(ScoreScalesTest)
#include "ScoreScalesTest.moc"
