#include <QtTest>

#include "TableFiles.h"
#include "scoring/Scoring.h"
#include "scoring/UnpackClient.h"
#include "session/Operations.h"
#include "storage/DataFileError.h"

using namespace qlm;
using qlm::test::ScoringFixture;
using qlm::test::TableFiles;

using Scores = QList<double>;  // scales 1 to 5
using Counts = QList<int>;

// Unpacking a client, raw scores, percentiles, floors, norm groups and risk ranges, each rule
// on small tables of the test's own.
class ScoringTest : public QObject {
    Q_OBJECT

private slots:
    void unpacksTheRecordTrimmed();
    void itemPoints_data();
    void itemPoints();
    void substanceItems_data();
    void substanceItems();
    void courtHistoryAndEducation_data();
    void courtHistoryAndEducation();
    void trueResponses_data();
    void trueResponses();
    void truthfulnessBands_data();
    void truthfulnessBands();
    void percentiles_data();
    void percentiles();
    void normGroups_data();
    void normGroups();
    void riskLevels_data();
    void riskLevels();
    void scoresTheCurrentClientOrNothing();
};

namespace {

template <typename List>
Counts fromScale1(const List& values) {
    return {values.begin() + 1, values.end()};
}

Scores rawScores(const ScoringState& s) {
    return {s.RawScore.begin() + 1, s.RawScore.end()};
}

// K of floor rules 1 to 20, by scale 2 to 5.
const int FloorK[4][21] = {
    {0, 3, 8, 12, 16, 20, 25, 29, 31, 34, 36, 39, 40, 42, 45, 48, 53, 64, 70, 74, 78},
    {0, 4, 9, 15, 20, 25, 28, 31, 36, 38, 40, 42, 43, 45, 47, 49, 53, 60, 70, 74, 79},
    {0, 4, 7, 11, 15, 19, 21, 23, 26, 29, 33, 36, 40, 43, 49, 52, 61, 67, 70, 75, 81},
    {0, 5, 8, 13, 17, 20, 23, 25, 28, 30, 34, 37, 39, 43, 46, 49, 53, 61, 69, 75, 77},
};

// Floor counts A, B, C, D that first meet floor rule r.
const int RuleCounts[21][4] = {
    {0, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 0, 2}, {1, 0, 0, 0}, {1, 0, 0, 1}, {2, 0, 0, 0},
    {0, 1, 0, 0}, {0, 1, 0, 1}, {1, 1, 0, 0}, {0, 2, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1},
    {1, 0, 1, 0}, {0, 1, 1, 0}, {0, 0, 2, 0}, {3, 0, 0, 0}, {4, 0, 0, 0}, {5, 0, 0, 0},
    {6, 0, 0, 0}, {7, 0, 0, 0}, {8, 0, 0, 0},
};

// Gives scale `sc` the floor counts A, B, C, D through the item points of its floor items.
void setFloorCounts(ScoringFixture& f, int sc, int a, int b, int c, int d) {
    static const int firstA[] = {0, 0, 1, 17, 37, 59};
    static const int firstD[] = {0, 0, 1, 5, 8, 10};
    int e = firstA[sc];
    for (const auto& [count, points] : {std::pair{a, 2}, {b, 3}, {c, 4}}) {
        for (int k = 0; k < count; ++k) {
            f.s.ItemScore[f.session.Tables.FloorItemsA[e++]] = static_cast<std::int16_t>(points);
        }
    }
    for (int k = 0; k < d; ++k) {
        f.s.ItemScore[f.session.Tables.FloorItemsD[firstD[sc] + k]] = 1;
    }
}

}  // namespace

void ScoringTest::unpacksTheRecordTrimmed() {
    const FileSystem files;
    Session session(files, "/nowhere");
    session.CurrentClient = 7;
    session.Scoring.ItemAnswers.fill(3);
    ClientRecord& r = session.Clients.entry(7);
    r.set(&ClientRecord::Name, "  LEE, SAM (DEMO)");
    r.set(&ClientRecord::Age, " 9");
    r.set(&ClientRecord::DateScored, "7/4/2026");
    r.set(&ClientRecord::TruancyCount, "-1");
    r.set(&ClientRecord::RunawayCount, " 3");
    r.set(&ClientRecord::ArrestCount, "n");
    r.set(&ClientRecord::ProbationCount, "N");
    r.set(&ClientRecord::Answers, "12" + std::string(50, '0') + "x5" + std::string(54, '4'));
    r.set(&ClientRecord::NameDeleted, "1");
    const ClientRecord stored = r;

    UnpackClient(session.Clients.entry(7), session.CurrentClient, session.Scoring);
    const ScoringState& s = session.Scoring;
    QCOMPARE(s.ClientInfo[1], std::string("LEE, SAM (DEMO)"));
    QCOMPARE(s.ClientInfo[2], std::string("9"));
    QCOMPARE(s.ClientInfo[10], std::string("07/04/2026"));
    QCOMPARE(std::vector(s.CourtCounts.begin() + 1, s.CourtCounts.begin() + 6),
             (std::vector<std::string>{"", "N/A", "3", "N/A", "N/A"}));
    // Blank, unreadable and missing answers are omitted (0), whatever was scored before.
    QCOMPARE((std::vector{s.ItemAnswers[1], s.ItemAnswers[2], s.ItemAnswers[3], s.ItemAnswers[53],
                          s.ItemAnswers[54], s.ItemAnswers[108], s.ItemAnswers[109]}),
             (std::vector{1, 2, 0, 0, 5, 4, 0}));
    QCOMPARE(int(s.NameDeletedFlag), 1);
    QCOMPARE(int(s.CurrentTestNumber), 7);
    // The record is only read: a later save writes it back byte for byte.
    QCOMPARE(r, stored);
}

// Items 1 to 3 on Truthfulness, 4 and 98 on Alcohol, 1 also on Antisocial with 99.
void ScoringTest::itemPoints_data() {
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

void ScoringTest::itemPoints() {
    QFETCH(Counts, answers);
    QFETCH(Scores, raw);
    QFETCH(Counts, omitted);
    QFETCH(Counts, deviant);
    TableFiles t;
    t.scaleItems[1] = {1, 2, 3};
    t.scaleItems[2] = {4, 98};
    t.scaleItems[5] = {1, 99};
    t.setPoints({{1, 1, 1}, {2, 2, 2}, {3, 0, 1}, {4, 1, 3}});
    t.setPoints({{98, 0, 1}, {98, 2, 1}, {98, 3, 2}, {98, 4, 4}});
    ScoringFixture f(t);
    const int items[] = {1, 2, 3, 4, 98, 99};
    for (int i = 0; i < 6; ++i) {
        f.s.ItemAnswers[items[i]] = answers[i];
    }
    // Left over from a client scored before.
    f.s.Percentile.fill(50);
    f.s.ItemScore.fill(4);

    ScoreScales(f.session.Scoring, f.session.Tables, f.session.Constants);
    QCOMPARE(rawScores(f.s), raw);
    QCOMPARE(fromScale1(f.s.OmittedCount), omitted);
    QCOMPARE(fromScale1(f.s.DeviantCount), deviant);
    QCOMPARE(fromScale1(f.s.Percentile), Counts(5, 0));
    QCOMPARE(int(f.s.ItemScore[5]), 0);  // on no scale
}

void ScoringTest::substanceItems_data() {
    QTest::addColumn<int>("a102");
    QTest::addColumn<int>("a103");
    QTest::addColumn<double>("alcohol");
    QTest::addColumn<double>("drugs");
    // Answers to 102 and 103, raw Alcohol and Drugs scores; Drugs may go below 0.
    const struct {
        int a102, a103;
        double alcohol, drugs;
    } rows[] = {{1, 0, 1, -1}, {2, 0, 0, 2}, {3, 0, 0, 0}, {0, 1, 3, 0},
                {0, 2, 0, 2},  {0, 3, 1, 0}, {0, 4, 0, 0}, {1, 1, 4, -1}};
    for (const auto& r : rows) {
        QTest::addRow("102: %d, 103: %d", r.a102, r.a103)
            << r.a102 << r.a103 << r.alcohol << r.drugs;
    }
}

void ScoringTest::substanceItems() {
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
    ScoreScales(f.session.Scoring, f.session.Tables, f.session.Constants);
    QCOMPARE(f.s.RawScore[Alcohol], alcohol);
    QCOMPARE(f.s.RawScore[Drugs], drugs);
}

// Court counts 1 first arrest, 2 truancy, 3 runaway, 4 arrests, 5 probation, 6 revocations,
// 7 detentions, 8 convictions, 9 DUI arrests, 10 alcohol arrests, 11 drug arrests; 0 the
// education. Each with its text and the raw scores of scales 1 to 5.
void ScoringTest::courtHistoryAndEducation_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("value");
    QTest::addColumn<Scores>("raw");
    const struct {
        int count;
        const char* value;
        Scores raw;
    } rows[] = {
        {1, "0.5", {0, 0, 0, 0, 0}},   {1, "1", {0, 0, 0, 4, 3}},     {1, "16", {0, 0, 0, 4, 3}},
        {1, "16.5", {0, 0, 0, 0, 0}},  {1, "17", {0, 0, 0, 3, 2}},    {1, "18", {0, 0, 0, 3, 2}},
        {1, "19", {0, 0, 0, 1, 0}},    {1, "20", {0, 0, 0, 1, 0}},    {1, "21", {0, 0, 0, 0, 0}},
        {1, "N/A", {0, 0, 0, 0, 0}},   {2, "5", {0, 0, 0, 0, 5}},     {2, "9", {0, 0, 0, 0, 5}},
        {2, "2.5", {0, 0, 0, 0, 2.5}}, {2, "-3", {0, 0, 0, 0, 0}},    {2, " 3x", {0, 0, 0, 0, 3}},
        {2, "x3", {0, 0, 0, 0, 0}},    {3, "1", {0, 0, 0, 0, 1}},     {3, "2", {0, 0, 0, 0, 1}},
        {3, "2.5", {0, 0, 0, 0, 0}},   {3, "3", {0, 0, 0, 0, 2}},     {3, "4", {0, 0, 0, 0, 3}},
        {3, "4.5", {0, 0, 0, 0, 4}},   {4, "1", {0, 0, 0, 0, 1}},     {4, "2", {0, 0, 0, 0, 1}},
        {4, "2.5", {0, 0, 0, 0, 0}},   {4, "3", {0, 0, 1, 0, 2}},     {4, "4", {0, 0, 1, 0, 2}},
        {4, "5", {0, 0, 2, 0, 3}},     {4, "6", {0, 0, 2, 0, 3}},     {4, "6.5", {0, 0, 3, 0, 5}},
        {5, "5", {0, 0, 0, 4, 0}},     {5, "1.5", {0, 0, 0, 1.5, 0}}, {6, "3", {0, 0, 0, 3, 0}},
        {6, "9", {0, 0, 0, 4, 0}},     {7, "6", {0, 0, 0, 0, 5}},     {8, "9", {0, 0, 0, 0, 0}},
        {9, "3", {0, 3, 0, 0, 0}},     {9, "3.5", {0, 5, 0, 0, 0}},   {10, "7", {0, 5, 0, 0, 0}},
        {11, "2", {0, 0, 2, 0, 0}},    {11, "8", {0, 0, 5, 0, 0}},    {0, "", {0, 0, 0, 0, 3}},
        {0, "n", {0, 0, 0, 0, 0}},     {0, "6", {0, 0, 0, 0, 3}},     {0, "6.5", {0, 0, 0, 0, 0}},
        {0, "7", {0, 0, 0, 0, 2}},     {0, "8", {0, 0, 0, 0, 2}},     {0, "9", {0, 0, 0, 0, 1}},
        {0, "11", {0, 0, 0, 0, 1}},    {0, "12", {0, 0, 0, 0, 0}}};
    for (const auto& r : rows) {
        QTest::addRow("%d: \"%s\"", r.count, r.value) << r.count << QString(r.value) << r.raw;
    }
}

void ScoringTest::courtHistoryAndEducation() {
    QFETCH(int, count);
    QFETCH(QString, value);
    QFETCH(Scores, raw);
    ScoringFixture f;
    (count == 0 ? f.s.ClientInfo[6] : f.s.CourtCounts[count]) = value.toStdString();
    ScoreScales(f.session.Scoring, f.session.Tables, f.session.Constants);
    QCOMPARE(rawScores(f.s), raw);
}

void ScoringTest::trueResponses_data() {
    QTest::addColumn<int>("trueCount");
    QTest::addColumn<int>("sectionTwo");  // answer of items 98 to 109
    QTest::addColumn<double>("truthfulness");
    QTest::newRow("92 True") << 92 << 0 << 1.0;
    QTest::newRow("92 True, section 2 all choice 1") << 92 << 1 << 1.0;
    QTest::newRow("93 True") << 93 << 0 << 99.0;
}

void ScoringTest::trueResponses() {
    QFETCH(int, trueCount);
    QFETCH(int, sectionTwo);
    QFETCH(double, truthfulness);
    TableFiles t;
    t.scaleItems[1] = {1};
    t.setPoints({{1, 1, 1}});
    ScoringFixture f(t);
    for (int item = 1; item <= 109; ++item) {
        f.s.ItemAnswers[item] = item > 97 ? sectionTwo : item <= trueCount ? 1 : 2;
    }
    ScoreScales(f.session.Scoring, f.session.Tables, f.session.Constants);
    QCOMPARE(f.s.RawScore[Truthfulness], truthfulness);
}

// Alcohol and Violence have deviant items (3 and 1), Drugs and Antisocial none; corrections
// are 10 * scale + band.
void ScoringTest::truthfulnessBands_data() {
    QTest::addColumn<int>("truthfulness");
    QTest::addColumn<int>("band");  // -1: every scale 99
    const std::pair<int, int> rows[] = {{10, 0}, {11, 1}, {20, 1},  {21, 2}, {90, 8},
                                        {91, 9}, {94, 9}, {95, -1}, {99, -1}};
    for (const auto& [p, band] : rows) {
        QTest::addRow("%d", p) << p << band;
    }
}

void ScoringTest::truthfulnessBands() {
    QFETCH(int, truthfulness);
    QFETCH(int, band);
    ScoringFixture f;
    f.s.RawScore[Truthfulness] = truthfulness;
    f.s.DeviantCount = {0, 5, 3, 0, 1, 0};
    // Floor items that would raise Drugs to 25 if its floors were applied.
    setFloorCounts(f, Drugs, 2, 0, 0, 0);

    ConvertToPercentiles(f.session.Scoring, f.session.Tables);
    QCOMPARE(int(f.s.Percentile[Truthfulness]), truthfulness);
    QCOMPARE(f.s.RawScore[Truthfulness], double(truthfulness));
    if (band < 0) {  // every scale corrected by band 9, no floors
        QCOMPARE(rawScores(f.s), (Scores{double(truthfulness), 29, 39, 49, 59}));
        QCOMPARE(fromScale1(f.s.Percentile), (Counts{truthfulness, 99, 99, 99, 99}));
        return;
    }
    QCOMPARE(rawScores(f.s), (Scores{double(truthfulness), band > 0 ? 20.0 + band : 0, 0,
                                     band > 0 ? 40.0 + band : 0, 0}));
    // Converted from the corrected raw scores, then capped and floored as usual.
    QCOMPARE(fromScale1(f.s.Percentile),
             (Counts{truthfulness, band > 0 ? 20 + band : 0, 25, band > 0 ? 28 : 0, 0}));
}

// Scale, raw score, {omitted, deviant, floor counts A, B, C, D, answers to 102 and 103} (zeros
// left off) and the percentile. Truthfulness has MaxRaw 40, the other scales 99.
void ScoringTest::percentiles_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<double>("raw");
    QTest::addColumn<Counts>("counts");
    QTest::addColumn<int>("percentile");
    const auto row = [](const QByteArray& name, int scale, double raw, Counts counts, int p) {
        counts.resize(8);
        QTest::newRow(name.constData()) << scale << raw << counts << p;
    };
    row("raw 0", 1, 0, {}, 0);
    row("at the maximum", 1, 40, {}, 40);
    row("above the maximum", 1, 41, {}, 99);
    row("fraction above the maximum", 1, 40.5, {}, 99);
    row("below 0 as 0", 1, -3, {}, 0);
    row("20.5 to even 20", 1, 20.5, {}, 20);
    row("21.5 to even 22", 1, 21.5, {}, 22);
    row("20.6", 1, 20.6, {}, 21);
    row("3 omitted", 1, 10, {3}, 10);
    row("4 omitted", 1, 10, {4}, 99);
    row("4 omitted is not capped", 3, 10, {4, 1}, 99);
    row("1 deviant, 60", 2, 60, {0, 1}, 28);
    row("1 deviant, 29", 4, 29, {0, 1}, 28);
    row("1 deviant, 27", 4, 27, {0, 1}, 27);
    row("2 deviant, 39", 4, 39, {0, 2}, 38);
    row("2 deviant, 60", 2, 60, {0, 2}, 38);
    row("3 deviant, 60", 5, 60, {0, 3}, 60);
    row("Truthfulness is never capped", 1, 30, {0, 1}, 30);
    row("no floor items", 2, 0, {}, 0);
    row("D = 2 at 10 stays", 2, 10, {0, 0, 0, 0, 0, 2}, 10);
    row("first floor rule that holds wins", 2, 5, {0, 0, 1, 2}, 12);
    row("passed over to T = 3", 2, 20, {0, 0, 1, 2}, 48);
    row("rule 13 needs D = 0 on Antisocial", 5, 39, {0, 0, 0, 1, 1, 1}, 39);
    row("rule 13 ignores D on Violence", 4, 40, {0, 0, 0, 1, 1, 1}, 43);
    row("Alcohol, 102 choice 2: A - 1", 2, 0, {0, 0, 2, 0, 0, 0, 2, 0}, 12);
    row("Alcohol, 103 choice 2: A - 1", 2, 0, {0, 0, 2, 0, 0, 0, 0, 2}, 12);
    row("Alcohol, both choice 2", 2, 0, {0, 0, 2, 0, 0, 0, 2, 2}, 0);
    row("Alcohol, choice 1: none", 2, 0, {0, 0, 2, 0, 0, 0, 1, 1}, 20);
    row("Drugs, 102 choice 1: A - 1", 3, 0, {0, 0, 2, 0, 0, 0, 1, 0}, 15);
    row("Drugs, choice 2: none", 3, 0, {0, 0, 2, 0, 0, 0, 2, 2}, 25);
    row("Drugs, 103 choice 1: B - 1", 3, 0, {0, 0, 0, 1, 0, 0, 0, 1}, 0);
    row("Violence, choice 2: none", 4, 0, {0, 0, 2, 0, 0, 0, 2, 2}, 19);
    for (int sc = Alcohol; sc <= Antisocial; ++sc) {
        const int* k = FloorK[sc - 2];
        for (int rule = 1; rule <= 20; ++rule) {
            Counts counts{0, 0};  // none omitted or deviant
            counts.append(Counts(RuleCounts[rule], RuleCounts[rule] + 4));
            const QByteArray name =
                "scale " + QByteArray::number(sc) + " floor rule " + QByteArray::number(rule);
            // Starting at the K of the rule before passes over every earlier rule.
            row(name, sc, k[rule - 1], counts, k[rule]);
            row(name + " already at K", sc, k[rule], counts, k[rule]);
        }
        row("scale " + QByteArray::number(sc) + " T of 10", sc, 0, {0, 0, 4, 3, 3}, k[20]);
    }
}

void ScoringTest::percentiles() {
    QFETCH(int, scale);
    QFETCH(double, raw);
    QFETCH(Counts, counts);
    QFETCH(int, percentile);
    TableFiles t;
    t.maxRaw[Truthfulness] = 40;
    ScoringFixture f(t);
    f.s.RawScore[scale] = raw;
    f.s.OmittedCount[scale] = counts[0];
    f.s.DeviantCount[scale] = static_cast<std::int16_t>(counts[1]);
    setFloorCounts(f, scale, counts[2], counts[3], counts[4], counts[5]);
    f.s.ItemAnswers[102] = counts[6];
    f.s.ItemAnswers[103] = counts[7];
    ConvertToPercentiles(f.session.Scoring, f.session.Tables);
    QCOMPARE(int(f.s.Percentile[scale]), percentile);
}

void ScoringTest::normGroups_data() {
    QTest::addColumn<QString>("sex");
    QTest::addColumn<QString>("race");
    QTest::addColumn<int>("group");  // in file order
    const struct {
        const char *sex, *race;
        int group;
    } rows[] = {{"1", "2", 1}, {"1", "3", 2}, {"2", "1", 3}, {"2", "3", 5},
                {"0", "0", 0}, {"", "", 0},   {"2", "4", 3}, {"2", "6", 3},
                {"1", "7", 0}, {"3", "2", 1}, {"-1", "3", 2}};
    for (const auto& r : rows) {
        QTest::addRow("sex \"%s\", race \"%s\"", r.sex, r.race)
            << QString(r.sex) << QString(r.race) << r.group;
    }
}

void ScoringTest::normGroups() {
    QFETCH(QString, sex);
    QFETCH(QString, race);
    QFETCH(int, group);
    ScoringFixture f;
    f.s.ClientInfo[3] = sex.toStdString();
    f.s.ClientInfo[4] = race.toStdString();
    f.s.RawScore = {0, 2, 0, 20, 20, 20};
    f.s.DeviantCount = {0, 0, 9, 9, 9, 9};
    ConvertToPercentiles(f.session.Scoring, f.session.Tables);
    QCOMPARE(fromScale1(f.s.Percentile),
             (Counts{2 + group, 0, 20 + group, 20 + group, 20 + group}));
}

void ScoringTest::riskLevels_data() {
    QTest::addColumn<int>("percentile");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("name");
    const struct {
        int percentile, level;
        const char* name;
    } rows[] = {{0, 1, "Lo"},           {39, 1, "Lo"},           {40, 2, "MEDIUM-LOW"},
                {55, 2, "MEDIUM-LOW"},  {56, 2, "MEDIUM-HIGH"},  {69, 2, "MEDIUM-HIGH"},
                {70, 3, "Prob"},        {89, 3, "Prob"},         {90, 4, "MAXIMUM-LOW"},
                {94, 4, "MAXIMUM-LOW"}, {95, 4, "MAXIMUM-HIGH"}, {99, 4, "MAXIMUM-HIGH"}};
    for (const auto& r : rows) {
        QTest::addRow("%d", r.percentile) << r.percentile << r.level << QString(r.name);
    }
}

void ScoringTest::riskLevels() {
    QFETCH(int, percentile);
    QFETCH(int, level);
    QFETCH(QString, name);
    ScoringFixture f;
    const RiskRange range = RiskLevel(percentile, f.session.Tables);
    QCOMPARE(range.level, level);
    QCOMPARE(QString::fromStdString(range.name), name);
}

void ScoringTest::scoresTheCurrentClientOrNothing() {
    TableFiles t;
    t.scaleItems[1] = {1};
    t.scaleItems[4] = {40, 98};
    t.setPoints({{1, 1, 1}, {40, 1, 3}, {98, 4, 2}});
    ScoringFixture f(t);
    ClientRecord& r = f.session.Clients.entry(1);
    r.set(&ClientRecord::Sex, "2");
    r.set(&ClientRecord::Race, "2");
    r.set(&ClientRecord::Education, "12");
    r.set(&ClientRecord::ProbationCount, "2");
    r.set(&ClientRecord::ArrestCount, "-1");
    std::string answers = "1" + std::string(96, '2') + "4";
    answers[40 - 1] = '1';
    r.set(&ClientRecord::Answers, answers);
    f.session.CurrentClient = 1;

    ScoreCurrentClient(f.session);
    const ScoringState scored = f.s;
    QCOMPARE(scored.RawScore, (std::array<double, 6>{0, 1, 0, 0, 7, 0}));
    // Group (female, race 2) adds 4; Truthfulness 1 + 4 = 5 is below any band; item 40 on
    // the Violence floor list raises 7 + 4 = 11 to 21.
    QCOMPARE(scored.Percentile, (std::array<std::int16_t, 6>{0, 5, 0, 0, 21, 0}));
    QCOMPARE(int(scored.ItemScore[98]), 2);

    // A faulty table stops the scoring before the client's state changes.
    const ScoringTables tables = f.session.Tables;
    r.set(&ClientRecord::Answers, std::string(109, '1'));
    t.scaleItems[3] = {4, 110};
    t.writeTo(f.folder.program());
    QVERIFY_THROWS_EXCEPTION(DataFileError, ScoreCurrentClient(f.session));
    QVERIFY(f.session.Tables == tables);
    QCOMPARE(f.s.ItemAnswers, scored.ItemAnswers);
    QCOMPARE(f.s.RawScore, scored.RawScore);
    QCOMPARE(f.s.Percentile, scored.Percentile);
    QCOMPARE(f.s.ItemScore, scored.ItemScore);
}

QTEST_GUILESS_MAIN(ScoringTest)
#include "ScoringTest.moc"
