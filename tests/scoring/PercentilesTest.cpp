#include <QtTest>

#include "TableFiles.h"
#include "scoring/Scoring.h"
#include "scoring/UnpackClient.h"
#include "storage/DataFileError.h"

using namespace qlm;
using qlm::test::ScoringFixture;
using qlm::test::TableFiles;

// Percentiles: norm lookup, deviant caps, Truthfulness bands, floors, norm groups, risk
// ranges, and the whole scoring of one client.
class PercentilesTest : public QObject {
    Q_OBJECT

private slots:
    void rawScoreLookup_data();
    void rawScoreLookup();
    void deviantCaps_data();
    void deviantCaps();
    void truthfulnessBands_data();
    void truthfulnessBands();
    void floorRules_data();
    void floorRules();
    void answerAdjustments_data();
    void answerAdjustments();
    void normGroups_data();
    void normGroups();
    void riskLevels_data();
    void riskLevels();
    void scoresTheCurrentClient();
    void failedLoadChangesNothing();
};

namespace {

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

void PercentilesTest::rawScoreLookup_data() {
    QTest::addColumn<double>("raw");
    QTest::addColumn<int>("omitted");
    QTest::addColumn<int>("percentile");
    QTest::newRow("raw 0") << 0.0 << 0 << 0;
    QTest::newRow("raw 1") << 1.0 << 0 << 1;
    QTest::newRow("at the maximum") << 40.0 << 0 << 40;
    QTest::newRow("above the maximum") << 41.0 << 0 << 99;
    QTest::newRow("fraction above the maximum") << 40.5 << 0 << 99;
    QTest::newRow("below 0 as 0") << -3.0 << 0 << 0;
    QTest::newRow("20.5 to even 20") << 20.5 << 0 << 20;
    QTest::newRow("21.5 to even 22") << 21.5 << 0 << 22;
    QTest::newRow("20.4") << 20.4 << 0 << 20;
    QTest::newRow("20.6") << 20.6 << 0 << 21;
    QTest::newRow("39.5 to 40") << 39.5 << 0 << 40;
    QTest::newRow("3 omitted") << 10.0 << 3 << 10;
    QTest::newRow("4 omitted") << 10.0 << 4 << 99;
    QTest::newRow("5 omitted") << 0.0 << 5 << 99;
}

void PercentilesTest::rawScoreLookup() {
    QFETCH(double, raw);
    QFETCH(int, omitted);
    QFETCH(int, percentile);
    TableFiles t;
    t.setMaxRaw(Violence, 40);
    ScoringFixture f(t);
    f.s.RawScore[Violence] = raw;
    f.s.OmittedCount[Violence] = omitted;
    ConvertToPercentiles(f.session);
    QCOMPARE(int(f.s.Percentile[Violence]), percentile);
}

void PercentilesTest::deviantCaps_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("deviant");
    QTest::addColumn<int>("omitted");
    QTest::addColumn<double>("raw");
    QTest::addColumn<int>("percentile");
    QTest::newRow("1 deviant, 60") << 4 << 1 << 0 << 60.0 << 28;
    QTest::newRow("1 deviant, 29") << 4 << 1 << 0 << 29.0 << 28;
    QTest::newRow("1 deviant, 28") << 4 << 1 << 0 << 28.0 << 28;
    QTest::newRow("1 deviant, 27") << 4 << 1 << 0 << 27.0 << 27;
    QTest::newRow("2 deviant, 39") << 4 << 2 << 0 << 39.0 << 38;
    QTest::newRow("2 deviant, 38") << 4 << 2 << 0 << 38.0 << 38;
    QTest::newRow("2 deviant, 60") << 2 << 2 << 0 << 60.0 << 38;
    QTest::newRow("3 deviant, 60") << 4 << 3 << 0 << 60.0 << 60;
    QTest::newRow("0 deviant, 60") << 5 << 0 << 0 << 60.0 << 60;
    QTest::newRow("Truthfulness is never capped") << 1 << 1 << 0 << 60.0 << 60;
    QTest::newRow("4 omitted is not capped") << 3 << 1 << 4 << 10.0 << 99;
}

void PercentilesTest::deviantCaps() {
    QFETCH(int, scale);
    QFETCH(int, deviant);
    QFETCH(int, omitted);
    QFETCH(double, raw);
    QFETCH(int, percentile);
    ScoringFixture f;
    f.s.RawScore[scale] = raw;
    f.s.DeviantCount[scale] = static_cast<std::int16_t>(deviant);
    f.s.OmittedCount[scale] = omitted;
    ConvertToPercentiles(f.session);
    QCOMPARE(int(f.s.Percentile[scale]), percentile);
}

// Alcohol and Violence have deviant items (3 and 1), Drugs and Antisocial none; corrections
// are 10 * scale + band.
void PercentilesTest::truthfulnessBands_data() {
    QTest::addColumn<int>("truthfulness");
    QTest::addColumn<int>("band");
    QTest::addColumn<bool>("invalid");
    QTest::newRow("10: none") << 10 << 0 << false;
    QTest::newRow("11") << 11 << 1 << false;
    QTest::newRow("20") << 20 << 1 << false;
    QTest::newRow("21") << 21 << 2 << false;
    QTest::newRow("51") << 51 << 5 << false;
    QTest::newRow("90") << 90 << 8 << false;
    QTest::newRow("91") << 91 << 9 << false;
    QTest::newRow("94") << 94 << 9 << false;
    QTest::newRow("95: every scale 99") << 95 << 9 << true;
    QTest::newRow("99") << 99 << 9 << true;
}

void PercentilesTest::truthfulnessBands() {
    QFETCH(int, truthfulness);
    QFETCH(int, band);
    QFETCH(bool, invalid);
    ScoringFixture f;
    f.s.RawScore[Truthfulness] = truthfulness;
    f.s.DeviantCount = {0, 5, 3, 0, 1, 0};
    // Floor items that would raise Drugs to 25 if its floors were applied.
    setFloorCounts(f, Drugs, 2, 0, 0, 0);

    ConvertToPercentiles(f.session);
    QCOMPARE(int(f.s.Percentile[Truthfulness]), truthfulness);
    QCOMPARE(f.s.RawScore[Truthfulness], double(truthfulness));
    for (int j = Alcohol; j <= Antisocial; ++j) {
        const bool corrected = band > 0 && (invalid || f.s.DeviantCount[j] >= 1);
        QCOMPARE(f.s.RawScore[j], corrected ? 10.0 * j + band : 0.0);
    }
    if (invalid) {
        QCOMPARE(f.s.Percentile,
                 (std::array<std::int16_t, 6>{0, std::int16_t(truthfulness), 99, 99, 99, 99}));
    } else {
        // Converted from the corrected raw scores, then capped and floored as usual.
        QCOMPARE(int(f.s.Percentile[Alcohol]), band > 0 ? 20 + band : 0);
        QCOMPARE(int(f.s.Percentile[Drugs]), 25);
        QCOMPARE(int(f.s.Percentile[Violence]), band > 0 ? 28 : 0);
        QCOMPARE(int(f.s.Percentile[Antisocial]), 0);
    }
}

void PercentilesTest::floorRules_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("before");
    QTest::addColumn<QList<int>>("counts");  // A, B, C, D
    QTest::addColumn<int>("after");
    const char* names[] = {"", "", "Alcohol", "Drugs", "Violence", "Antisocial"};
    for (int sc = Alcohol; sc <= Antisocial; ++sc) {
        const int* k = FloorK[sc - 2];
        for (int rule = 1; rule <= 20; ++rule) {
            const QList<int> counts(RuleCounts[rule], RuleCounts[rule] + 4);
            // Starting at the K of the rule before passes over every earlier rule.
            QTest::addRow("%s rule %d", names[sc], rule) << sc << k[rule - 1] << counts << k[rule];
            QTest::addRow("%s rule %d already at K", names[sc], rule)
                << sc << k[rule] << counts << k[rule];
        }
        QTest::addRow("%s no deviant floor items", names[sc])
            << sc << 0 << QList<int>{0, 0, 0, 0} << 0;
        QTest::addRow("%s T of 10", names[sc]) << sc << 0 << QList<int>{4, 3, 3, 0} << k[20];
    }
    QTest::newRow("D = 2 at 10 stays") << 2 << 10 << QList<int>{0, 0, 0, 2} << 10;
    QTest::newRow("first rule that holds wins") << 2 << 5 << QList<int>{1, 2, 0, 0} << 12;
    QTest::newRow("passed over to T = 3") << 2 << 20 << QList<int>{1, 2, 0, 0} << 48;
    QTest::newRow("rule 13 needs D = 0 on Antisocial") << 5 << 39 << QList<int>{0, 1, 1, 1} << 39;
    QTest::newRow("rule 13 ignores D on Violence") << 4 << 40 << QList<int>{0, 1, 1, 1} << 43;
}

void PercentilesTest::floorRules() {
    QFETCH(int, scale);
    QFETCH(int, before);
    QFETCH(QList<int>, counts);
    QFETCH(int, after);
    ScoringFixture f;
    f.s.RawScore[scale] = before;
    setFloorCounts(f, scale, counts[0], counts[1], counts[2], counts[3]);
    ConvertToPercentiles(f.session);
    QCOMPARE(int(f.s.Percentile[scale]), after);
}

void PercentilesTest::answerAdjustments_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("a102");
    QTest::addColumn<int>("a103");
    QTest::addColumn<int>("percentile");
    QTest::newRow("Alcohol A = 2") << 2 << 2 << 0 << 0 << 0 << 20;
    QTest::newRow("Alcohol, 102 choice 2: A - 1") << 2 << 2 << 0 << 2 << 0 << 12;
    QTest::newRow("Alcohol, 103 choice 2: A - 1") << 2 << 2 << 0 << 0 << 2 << 12;
    QTest::newRow("Alcohol, both choice 2") << 2 << 2 << 0 << 2 << 2 << 0;
    QTest::newRow("Alcohol, 102 choice 1: none") << 2 << 2 << 0 << 1 << 1 << 20;
    QTest::newRow("Drugs A = 2") << 3 << 2 << 0 << 0 << 0 << 25;
    QTest::newRow("Drugs, 102 choice 1: A - 1") << 3 << 2 << 0 << 1 << 0 << 15;
    QTest::newRow("Drugs, 102 choice 2: none") << 3 << 2 << 0 << 2 << 2 << 25;
    QTest::newRow("Drugs B = 1") << 3 << 0 << 1 << 0 << 0 << 28;
    QTest::newRow("Drugs, 103 choice 1: B - 1") << 3 << 0 << 1 << 0 << 1 << 0;
    QTest::newRow("Violence: none") << 4 << 2 << 0 << 2 << 2 << 19;
}

void PercentilesTest::answerAdjustments() {
    QFETCH(int, scale);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, a102);
    QFETCH(int, a103);
    QFETCH(int, percentile);
    ScoringFixture f;
    setFloorCounts(f, scale, a, b, 0, 0);
    f.s.ItemAnswers[102] = a102;
    f.s.ItemAnswers[103] = a103;
    ConvertToPercentiles(f.session);
    QCOMPARE(int(f.s.Percentile[scale]), percentile);
}

void PercentilesTest::normGroups_data() {
    QTest::addColumn<QString>("sex");
    QTest::addColumn<QString>("race");
    QTest::addColumn<int>("group");  // in file order
    QTest::newRow("male, race 1") << "1"
                                  << "1" << 0;
    QTest::newRow("male, race 2") << "1"
                                  << "2" << 1;
    QTest::newRow("male, race 3") << "1"
                                  << "3" << 2;
    QTest::newRow("female, race 1") << "2"
                                    << "1" << 3;
    QTest::newRow("female, race 2") << "2"
                                    << "2" << 4;
    QTest::newRow("female, race 3") << "2"
                                    << "3" << 5;
    QTest::newRow("not available") << "0"
                                   << "0" << 0;
    QTest::newRow("sex 0, race 5") << "0"
                                   << "5" << 0;
    QTest::newRow("blank") << ""
                           << "" << 0;
    QTest::newRow("race 4") << "2"
                            << "4" << 3;
    QTest::newRow("race 6") << "2"
                            << "6" << 3;
    QTest::newRow("race 7") << "1"
                            << "7" << 0;
    QTest::newRow("sex 3") << "3"
                           << "2" << 1;
    QTest::newRow("sex 9") << "9"
                           << "3" << 2;
    QTest::newRow("sex -1") << "-1"
                            << "3" << 2;
}

void PercentilesTest::normGroups() {
    QFETCH(QString, sex);
    QFETCH(QString, race);
    QFETCH(int, group);
    ScoringFixture f;
    f.s.ClientInfo[3] = sex.toStdString();
    f.s.ClientInfo[4] = race.toStdString();
    f.s.RawScore = {0, 2, 0, 20, 20, 20};
    f.s.DeviantCount = {0, 0, 9, 9, 9, 9};
    ConvertToPercentiles(f.session);
    QCOMPARE(int(f.s.Percentile[Truthfulness]), 2 + group);
    QCOMPARE(int(f.s.Percentile[Violence]), 20 + group);
    QCOMPARE(int(f.s.Percentile[Alcohol]), 0);  // raw 0 is 0 in every group
}

void PercentilesTest::riskLevels_data() {
    QTest::addColumn<int>("percentile");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << 1 << "Lo";
    QTest::newRow("39") << 39 << 1 << "Lo";
    QTest::newRow("40") << 40 << 2 << "MEDIUM-LOW";
    QTest::newRow("55") << 55 << 2 << "MEDIUM-LOW";
    QTest::newRow("56") << 56 << 2 << "MEDIUM-HIGH";
    QTest::newRow("69") << 69 << 2 << "MEDIUM-HIGH";
    QTest::newRow("70") << 70 << 3 << "Prob";
    QTest::newRow("89") << 89 << 3 << "Prob";
    QTest::newRow("90") << 90 << 4 << "MAXIMUM-LOW";
    QTest::newRow("94") << 94 << 4 << "MAXIMUM-LOW";
    QTest::newRow("95") << 95 << 4 << "MAXIMUM-HIGH";
    QTest::newRow("99") << 99 << 4 << "MAXIMUM-HIGH";
}

void PercentilesTest::riskLevels() {
    QFETCH(int, percentile);
    QFETCH(int, level);
    QFETCH(QString, name);
    ScoringFixture f;
    const RiskRange range = RiskLevel(percentile, f.session.Tables);
    QCOMPARE(range.level, level);
    QCOMPARE(QString::fromStdString(range.name), name);
}

namespace {

TableFiles clientTables() {
    TableFiles t;
    t.scaleItems[1] = {1};
    t.scaleItems[4] = {40, 98};
    t.setPoints({{1, 1, 1}, {40, 1, 3}, {98, 4, 2}});
    return t;
}

void addClient(Session& session) {
    ClientRecord& r = session.ClientTable[1];
    r.set(&ClientRecord::Sex, "2");
    r.set(&ClientRecord::Race, "2");
    r.set(&ClientRecord::Education, "12");
    r.set(&ClientRecord::ProbationCount, "2");
    r.set(&ClientRecord::ArrestCount, "-1");
    std::string answers = "1" + std::string(96, '2') + "4";
    answers[40 - 1] = '1';
    r.set(&ClientRecord::Answers, answers);
    session.NumberOfClients = 1;
    session.CurrentClient = 1;
}

}  // namespace

void PercentilesTest::scoresTheCurrentClient() {
    test::TestFolder folder;
    clientTables().writeTo(folder.program());
    const FileSystem files;
    Session session(files, folder.program());
    addClient(session);

    ScoreCurrentClient(session);
    const ScoringState& s = session.Scoring;
    QCOMPARE(session.Constants.SectionEnd[1], 97);
    QCOMPARE(session.Tables.ScaleName[2], std::string("Alcohol, use"));
    QCOMPARE(s.RawScore, (std::array<double, 6>{0, 1, 0, 0, 7, 0}));
    // Group (female, race 2) adds 4; Truthfulness 1 + 4 = 5 is below any band; item 40 on
    // the Violence floor list raises 7 + 4 = 11 to 21.
    QCOMPARE(s.Percentile, (std::array<std::int16_t, 6>{0, 5, 0, 0, 21, 0}));
    QCOMPARE(int(s.ItemScore[98]), 2);
}

void PercentilesTest::failedLoadChangesNothing() {
    test::TestFolder folder;
    TableFiles t = clientTables();
    t.writeTo(folder.program());
    const FileSystem files;
    Session session(files, folder.program());
    addClient(session);
    ScoreCurrentClient(session);
    const ScoringState scored = session.Scoring;
    const ScoringTables tables = session.Tables;

    session.ClientTable[1].set(&ClientRecord::Answers, std::string(109, '1'));
    t.scaleItems[3] = {4, 110};
    t.writeTo(folder.program());
    QVERIFY_THROWS_EXCEPTION(DataFileError, ScoreCurrentClient(session));
    QVERIFY(session.Tables == tables);
    QCOMPARE(session.Scoring.ItemAnswers, scored.ItemAnswers);
    QCOMPARE(session.Scoring.RawScore, scored.RawScore);
    QCOMPARE(session.Scoring.Percentile, scored.Percentile);
    QCOMPARE(session.Scoring.ItemScore, scored.ItemScore);
}

QTEST_GUILESS_MAIN(PercentilesTest)
#include "PercentilesTest.moc"
