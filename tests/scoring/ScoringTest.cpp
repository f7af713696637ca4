#include <QtTest>
#include <algorithm>
#include <functional>

#include "scoring/Scoring.h"
#include "scoring/TestSpec.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/DataFileError.h"
#include "support/Rows.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

using Scores = QList<double>;  // scales 1 to 5
using Counts = QList<int>;

namespace {

// Small scoring tables of a test's own, written out as "QLMRPT.TXT" and "QLMB.TXT" so that each
// test states only what it changes. Every key digit is 0 unless set; the percentile of a raw
// score is raw + group (at most 99), groups 0 to 5 in file order, so group 0 (male, race 1) maps
// raw to itself; no scale items; FloorItemsA entry e is item e, FloorItemsD entry e item 75 + e;
// TruthCorrection(scale, band) = 10 * scale + band; significant item s is item s.
struct TableFiles {
    std::array<std::string, 3> key1{std::string(97, '0'), std::string(97, '0'),
                                    std::string(97, '0')};  // answers 0 to 2
    std::array<std::string, 5> key2{"000000000000", "000000000000", "000000000000", "000000000000",
                                    "000000000000"};
    std::array<int, 6> maxRaw{0, 99, 99, 99, 99, 99};
    std::array<std::vector<int>, 6> scaleItems;
    // Last changes to the texts, for faults the fields above cannot express.
    std::function<void(std::string& report, std::string& keys)> edit;

    // {item, answer, points} for each keyed answer.
    void setPoints(std::initializer_list<std::array<int, 3>> keyed) {
        for (const auto& [item, answer, points] : keyed) {
            std::string& key = item <= 97 ? key1.at(answer) : key2.at(answer);
            key.at(item <= 97 ? item - 1 : item - 98) = static_cast<char>('0' + points);
        }
    }
    static std::string line(int count, const std::function<int(int)>& value) {
        std::string text;
        for (int i = 1; i <= count; ++i) {
            text += (i > 1 ? "," : "") + std::to_string(value(i));
        }
        return text + "\n";
    }
    void writeTo(const std::string& folder) const {
        const auto same = [](int i) { return i; };
        std::string report =
            "\"Truth\",\"Alcohol, use\",\"Drugs\",\"Violence\",\"Antisocial\"\n"
            "\"Lo\",\"Mid\",\"Prob\",\"Max\"\nTitle\nNote, with a comma\n\"Quoted note\"\n\n";
        for (int i = 1; i <= 55; ++i) {
            report += " Significant " + std::to_string(i) + ", said \"True\"\n";
        }
        for (int i = 1; i <= 48; ++i) {
            report += "Choice " + std::to_string(i) + "\n";
        }
        std::string keys = line(55, same);
        for (const auto& key : key1) {
            keys += "\"" + key + "\"\n";
        }
        for (const auto& key : key2) {
            keys += "\"" + key + "\"\n";
        }
        for (int group = 0; group < 6; ++group) {
            keys += "\"Group " + std::to_string(group) + ", norms\"\n";
            for (int sc = 1; sc <= 5; ++sc) {
                keys += "\"Scale\"," + std::to_string(maxRaw[sc]) + "\n" +
                        line(maxRaw[sc], [group](int raw) { return std::min(99, raw + group); });
            }
        }
        keys += "\"Scale items\"\n";
        for (const auto& items : scaleItems) {
            if (&items != &scaleItems[0]) {
                keys +=
                    std::to_string(items.size()) + "\n" +
                    (items.empty() ? ""
                                   : line(int(items.size()), [&](int k) { return items[k - 1]; }));
            }
        }
        keys += "\"Floor items A\"\n" + line(75, same) + "\"Floor items D\"\n" +
                line(14, [](int e) { return 75 + e; }) + "\"Corrections\"\n";
        for (int sc = 1; sc <= 5; ++sc) {
            keys += line(9, [sc](int band) { return 10 * sc + band; });
        }
        keys += "\"Narrative items\"\n" + line(12, same) + line(15, same);
        if (edit) {
            edit(report, keys);
        }
        TestFolder::write(folder + "/QLMRPT.TXT", report);
        TestFolder::write(folder + "/QLMB.TXT", keys);
    }
};

struct ScoringFixture {
    explicit ScoringFixture(const TableFiles& tables = {})
        : session(files, folder.program()), s(session.Scoring) {
        tables.writeTo(folder.program());
        SetTestSpec(session.Constants);
        LoadScoringTables(session);
        // Education "N" adds no points, so that each test sees only the points it sets up.
        s.ClientInfo[6] = "N";
    }
    void score() { ScoreScales(s, session.Tables, session.Constants); }
    void convert() { ConvertToPercentiles(s, session.Tables); }
    Scores raw() const { return {s.RawScore.begin() + 1, s.RawScore.end()}; }
    Counts percentiles() const { return {s.Percentile.begin() + 1, s.Percentile.end()}; }

    // Gives scale `sc` the floor counts A, B, C, D through the item points of its floor items.
    void setFloorCounts(int sc, int a, int b, int c, int d) {
        static const int firstA[] = {0, 0, 1, 17, 37, 59};
        static const int firstD[] = {0, 0, 1, 5, 8, 10};
        int e = firstA[sc];
        for (const auto& [count, points] : {std::pair{a, 2}, {b, 3}, {c, 4}}) {
            for (int k = 0; k < count; ++k) {
                s.ItemScore[session.Tables.FloorItemsA[e++]] = static_cast<std::int16_t>(points);
            }
        }
        for (int k = 0; k < d; ++k) {
            s.ItemScore[session.Tables.FloorItemsD[firstD[sc] + k]] = 1;
        }
    }

    TestFolder folder;
    FileSystem files;
    Session session;
    ScoringState& s;
};

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

// Text of QLMB.TXT (keys) or QLMRPT.TXT replaced, and the problem named (none: read as before).
const struct {
    const char* name;
    bool keys;
    std::string from, to;
    QString problem;
} LoadRows[] = {
    {"report texts with CR LF", false, "\n", "\r\n", ""},
    {"blanks between quoted values", false, "\",\"", "\" ,  \"", ""},
    {"blanks around numbers", true, ",", " , ", ""},
    {"report texts short", false, "Choice 48\n", "",
     "line 109: the file ends before answer line 48"},
    {"scale name too long", false, "\"Alcohol, use\"", "\"Alcohol and other drug use\"",
     "line 1: the name of scale 2 is 26 characters long; the report has room for 20"},
    {"range name too long", false, "\"Prob\"", "\"Problem with a long name\"",
     "line 2: the name of risk range 3 is 24 characters"},
    {"listed line too long", false, " 55, said \"True\"\n", " 55, said \"True\" and some more\n",
     "line 61: significant item line 55 is 42 characters"},
    {"key too short", true, "\"000000000000\"", "\"00000000000\"",
     "line 5: the scoring key of items 98 to 109 must be 12 digits"},
    {"key not digits", true, "\"000000000000\"", "\"0000000x0000\"", "not \"0000000x0000\""},
    // A fault in the last value of a line is on that line, not the next.
    {"last value of a line", true, ",55\n", ",110\n",
     "line 1: the 55 significant items must lie within 1 to 109, not 110"},
    {"quote not closed", false, "\"Antisocial\"", "\"Antisocial",
     "line 1: the quoted value of the name of scale 5 has no closing quote"},
    {"text after a quoted value", false, "\"Drugs\"", "\"Drugs\" x",
     "unexpected text after the quoted value of the name of scale 3"},
    {"norm that is not a number", true, "\n1,2,3,4,5,6,7,", "\n7x,",
     "norm group (sex 1, race 1) must be a whole number, not \"7x\""},
    {"norm above 99", true, ",98,99\n", ",98,100\n", "must lie within 0 to 99, not 100"},
    {"MaxRaw above 100", true, "\"Scale\",99\n", "\"Scale\",101\n",
     "must lie within 0 to 100, not 101"},
    {"maxima differ between groups", true, "\"Group 5, norms\"\n\"Scale\",99\n",
     "\"Group 5, norms\"\n\"Scale\",98\n",
     "(sex 2, race 3) gives scale 1 the maximum raw score 98, the groups before it 99"},
    {"scale item 110", true, "\"Scale items\"\n0\n", "\"Scale items\"\n2\n1,110\n",
     "the items of scale 1 must lie within 1 to 109, not 110"},
    {"31 scale items", true, "\"Scale items\"\n0\n", "\"Scale items\"\n31\n",
     "must lie within 0 to 30, not 31"},
};

// Answers to items 1, 2, 3, 4, 98 and 99; raw scores, omitted and deviant counts.
const struct {
    const char* name;
    Counts answers;
    Scores raw;
    Counts omitted, deviant;
} PointRows[] = {
    {"key 0 decides", {0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0}, {3, 2, 0, 0, 2}, {1, 1, 0, 0, 0}},
    {"item 1 twice", {1, 2, 1, 1, 4, 1}, {3, 7, 0, 0, 1}, {0, 0, 0, 0, 0}, {2, 2, 0, 0, 1}},
    {"unkeyed earn 0", {3, 4, 5, 9, 5, 2}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
    {"item 98 choice 2", {2, 1, 2, 2, 2, 0}, {0, 1, 0, 0, 0}, {0, 0, 0, 0, 1}, {0, 1, 0, 0, 0}},
};

}  // namespace

// Each scoring rule on small tables of the test's own.
class ScoringTest : public QObject {
    Q_OBJECT

private slots:
    // Texts are taken whole, commas, quotes and leading blanks included.
    void readsTextsWhole() {
        ScoringFixture f;
        const ScoringTables& s = f.session.Tables;
        QCOMPARE((std::vector{s.ScaleName[2], s.ScaleName[5], s.RiskRangeName[4],
                              s.SignificantItemText[55], s.ChoiceText[48], s.NarrativeFile[5]}),
                 (std::vector<std::string>{"Alcohol, use", "Antisocial", "Max",
                                           " Significant 55, said \"True\"", "Choice 48",
                                           f.folder.program() + "/QLMAS.TXT"}));
        QCOMPARE((std::vector{s.SignificantItem[55], s.AlcoholNarrativeItems[12],
                              s.DrugNarrativeItems[15]}),
                 (std::vector{55, 12, 15}));
    }

    void acceptsLineEndsAndBlanksRefusesFaults_data() { test::addRows(LoadRows); }
    void acceptsLineEndsAndBlanksRefusesFaults() {
        const auto& [name, keys, from, to, problem] = test::currentRow(LoadRows);
        TestFolder folder;
        TableFiles t;
        t.scaleItems[3] = {5, 6};
        t.writeTo(folder.program());
        const ScoringTables plain = ReadScoringTables(FileSystem(), folder.program());
        t.edit = [keys = keys, &from = from, &to = to](std::string& report, std::string& keyText) {
            std::string& text = keys ? keyText : report;
            for (auto at = text.find(from); at != std::string::npos;
                 at = text.find(from, at + to.size())) {
                text.replace(at, from.size(), to);
            }
        };
        t.writeTo(folder.program());
        if (problem.isEmpty()) {
            QVERIFY(ReadScoringTables(FileSystem(), folder.program()) == plain);
            return;
        }
        try {
            ReadScoringTables(FileSystem(), folder.program());
            QFAIL("the faulty tables were loaded");
        } catch (const DataFileError& e) {
            QCOMPARE(e.file(), folder.program() + (keys ? "/QLMB.TXT" : "/QLMRPT.TXT"));
            QVERIFY2(QString(e.what()).startsWith(QString::fromStdString(e.file()) + ": ") &&
                         QString(e.what()).contains(problem),
                     e.what());
        }
    }

    // The record unpacked trimmed, then scored through the whole chain; a faulty table stops the
    // scoring before the client's state changes.
    void scoresTheCurrentClientOrNothing() {
        TableFiles t;
        t.scaleItems[1] = {1};
        t.scaleItems[4] = {40, 98};
        t.setPoints({{1, 1, 1}, {40, 1, 3}, {98, 4, 2}});
        ScoringFixture f(t);
        f.s.ItemAnswers.fill(3);
        ClientRecord& r = f.session.Clients.entry(7);
        r.set(&ClientRecord::Name, "  LEE, SAM (DEMO)");
        r.set(&ClientRecord::Age, " 9");
        r.set(&ClientRecord::Sex, "2");
        r.set(&ClientRecord::Race, "2");
        r.set(&ClientRecord::Education, "12");
        r.set(&ClientRecord::DateScored, "7/4/2026");
        r.set(&ClientRecord::TruancyCount, "-1");
        r.set(&ClientRecord::RunawayCount, " 3");
        r.set(&ClientRecord::ArrestCount, "n");
        r.set(&ClientRecord::ProbationCount, "N");
        r.set(&ClientRecord::RevocationCount, "2");
        std::string answers = "1" + std::string(96, '2') + "4x5" + std::string(8, '4');
        answers[40 - 1] = '1';
        answers[53 - 1] = ' ';
        r.set(&ClientRecord::Answers, answers);
        r.set(&ClientRecord::NameDeleted, "1");
        const ClientRecord stored = r;
        f.session.CurrentClient = 7;

        ScoreCurrentClient(f.session);
        const ScoringState scored = f.s;
        QCOMPARE(scored.ClientInfo[1] + "|" + scored.ClientInfo[2] + "|" + scored.ClientInfo[10],
                 std::string("LEE, SAM (DEMO)|9|07/04/2026"));
        QCOMPARE(std::vector(scored.CourtCounts.begin() + 1, scored.CourtCounts.begin() + 7),
                 (std::vector<std::string>{"", "N/A", "3", "N/A", "N/A", "2"}));
        // Blank, unreadable and missing answers are omitted (0), whatever was scored before.
        QCOMPARE(
            (std::vector{scored.ItemAnswers[1], scored.ItemAnswers[53], scored.ItemAnswers[98],
                         scored.ItemAnswers[99], scored.ItemAnswers[100], scored.ItemAnswers[109]}),
            (std::vector{1, 0, 4, 0, 5, 0}));
        QCOMPARE(int(scored.NameDeletedFlag) * 10 + scored.CurrentTestNumber, 17);
        QCOMPARE(r, stored);  // only read: a later save writes it back byte for byte
        // Runaway 3 gives Antisocial 2, revocations 2 Violence 2; item 40 gives 3, 98 gives 2.
        QCOMPARE(f.raw(), (Scores{1, 0, 0, 7, 2}));
        // Group (female, race 2) adds 4; Truthfulness 1 + 4 = 5 is below any band; item 40 on
        // the Violence floor list raises 7 + 4 = 11 to 21; Antisocial 2 + 4, no floor item.
        QCOMPARE(f.percentiles(), (Counts{5, 0, 0, 21, 6}));

        const ScoringTables tables = f.session.Tables;
        r.set(&ClientRecord::Answers, std::string(109, '1'));
        t.scaleItems[3] = {4, 110};
        t.writeTo(f.folder.program());
        QVERIFY_THROWS_EXCEPTION(DataFileError, ScoreCurrentClient(f.session));
        QVERIFY(f.session.Tables == tables);
        QCOMPARE(f.s.ItemAnswers, scored.ItemAnswers);  // the first step of the scoring
    }

    // Items 1 to 3 on Truthfulness, 4 and 98 on Alcohol, 1 also on Antisocial with 99.
    void itemPoints_data() { test::addRows(PointRows); }
    void itemPoints() {
        const auto& [name, answers, raw, omitted, deviant] = test::currentRow(PointRows);
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
        f.score();
        QCOMPARE(f.raw(), raw);
        QCOMPARE(Counts(f.s.OmittedCount.begin() + 1, f.s.OmittedCount.end()), omitted);
        QCOMPARE(Counts(f.s.DeviantCount.begin() + 1, f.s.DeviantCount.end()), deviant);
        QCOMPARE(f.percentiles(), Counts(5, 0));
        QCOMPARE(int(f.s.ItemScore[5]), 0);  // on no scale
    }

    // Answers to 102 and 103 decide whether Alcohol or Drugs keeps their points; Drugs may go
    // below 0. More than 92 True answers in section 1 make Truthfulness 99.
    void substanceItemsAndTrueResponses_data() {
        QTest::addColumn<int>("a102");
        QTest::addColumn<int>("a103");
        QTest::addColumn<int>("trueCount");
        QTest::addColumn<Scores>("raw");
        const int rows[][6] = {{1, 0, 0, 0, 1, -1},  {2, 0, 0, 0, 0, 2},  {3, 0, 0, 0, 0, 0},
                               {0, 1, 0, 0, 3, 0},   {0, 2, 0, 0, 0, 2},  {0, 3, 0, 0, 1, 0},
                               {0, 4, 0, 0, 0, 0},   {1, 1, 0, 0, 4, -1}, {0, 0, 92, 1, 0, 0},
                               {1, 0, 92, 1, 1, -1}, {0, 0, 93, 99, 0, 0}};
        for (const auto& [a102, a103, trueCount, truth, alcohol, drugs] : rows) {
            QTest::addRow("102: %d, 103: %d, %d True", a102, a103, trueCount)
                << a102 << a103 << trueCount
                << Scores{double(truth), double(alcohol), double(drugs), 0, 0};
        }
    }
    void substanceItemsAndTrueResponses() {
        QFETCH(int, a102);
        QFETCH(int, a103);
        QFETCH(int, trueCount);
        QFETCH(Scores, raw);
        TableFiles t;
        t.scaleItems[1] = {1};
        t.scaleItems[2] = {102, 103};
        t.scaleItems[3] = {102, 103};
        t.setPoints({{1, 1, 1}, {102, 1, 1}, {102, 2, 2}, {103, 1, 3}, {103, 2, 2}, {103, 3, 1}});
        ScoringFixture f(t);
        for (int item = 1; item <= 97; ++item) {
            f.s.ItemAnswers[item] = item <= trueCount ? 1 : 2;
        }
        f.s.ItemAnswers[102] = a102;
        f.s.ItemAnswers[103] = a103;
        f.score();
        QCOMPARE(f.raw(), raw);
    }

    // Court counts 1 first arrest, 2 truancy, 3 runaway, 4 arrests, 5 probation, 6 revocations,
    // 7 detentions, 8 convictions, 9 DUI arrests, 10 alcohol arrests, 11 drug arrests; 0 the
    // education. Each with its text and the raw scores of scales 1 to 5.
    void courtHistoryAndEducation_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("value");
        QTest::addColumn<Scores>("raw");
        const struct {
            int count;
            const char* value;
            Scores raw;
        } rows[] = {
            {1, "0.5", {0, 0, 0, 0, 0}},   {1, "1", {0, 0, 0, 4, 3}},   {1, "16", {0, 0, 0, 4, 3}},
            {1, "16.5", {0, 0, 0, 0, 0}},  {1, "17", {0, 0, 0, 3, 2}},  {1, "19", {0, 0, 0, 1, 0}},
            {1, "21", {0, 0, 0, 0, 0}},    {1, "N/A", {0, 0, 0, 0, 0}}, {2, "5", {0, 0, 0, 0, 5}},
            {2, "2.5", {0, 0, 0, 0, 2.5}}, {2, "-3", {0, 0, 0, 0, 0}},  {2, " 3x", {0, 0, 0, 0, 3}},
            {2, "x3", {0, 0, 0, 0, 0}},    {3, "1", {0, 0, 0, 0, 1}},   {3, "2.5", {0, 0, 0, 0, 0}},
            {3, "3", {0, 0, 0, 0, 2}},     {3, "4", {0, 0, 0, 0, 3}},   {3, "4.5", {0, 0, 0, 0, 4}},
            {4, "1", {0, 0, 0, 0, 1}},     {4, "2.5", {0, 0, 0, 0, 0}}, {4, "3", {0, 0, 1, 0, 2}},
            {4, "5", {0, 0, 2, 0, 3}},     {4, "6.5", {0, 0, 3, 0, 5}}, {5, "5", {0, 0, 0, 4, 0}},
            {5, "1.5", {0, 0, 0, 1.5, 0}}, {6, "3", {0, 0, 0, 3, 0}},   {6, "9", {0, 0, 0, 4, 0}},
            {7, "6", {0, 0, 0, 0, 5}},     {8, "9", {0, 0, 0, 0, 0}},   {9, "3", {0, 3, 0, 0, 0}},
            {9, "3.5", {0, 5, 0, 0, 0}},   {10, "7", {0, 5, 0, 0, 0}},  {11, "2", {0, 0, 2, 0, 0}},
            {11, "8", {0, 0, 5, 0, 0}},    {0, "", {0, 0, 0, 0, 3}},    {0, "n", {0, 0, 0, 0, 0}},
            {0, "6", {0, 0, 0, 0, 3}},     {0, "6.5", {0, 0, 0, 0, 0}}, {0, "7", {0, 0, 0, 0, 2}},
            {0, "9", {0, 0, 0, 0, 1}},     {0, "12", {0, 0, 0, 0, 0}}};
        for (const auto& r : rows) {
            QTest::addRow("%d: \"%s\"", r.count, r.value) << r.count << QString(r.value) << r.raw;
        }
    }
    void courtHistoryAndEducation() {
        QFETCH(int, count);
        QFETCH(QString, value);
        QFETCH(Scores, raw);
        ScoringFixture f;
        (count == 0 ? f.s.ClientInfo[6] : f.s.CourtCounts[count]) = value.toStdString();
        f.score();
        QCOMPARE(f.raw(), raw);
    }

    // Alcohol and Violence have deviant items (3 and 1), Drugs and Antisocial none; corrections
    // are 10 * scale + band.
    void truthfulnessBands_data() {
        QTest::addColumn<int>("truthfulness");
        QTest::addColumn<int>("band");  // -1: every scale 99
        const std::pair<int, int> rows[] = {{10, 0}, {11, 1}, {20, 1}, {21, 2},
                                            {90, 8}, {91, 9}, {94, 9}, {95, -1}};
        for (const auto& [p, band] : rows) {
            QTest::addRow("%d", p) << p << band;
        }
    }
    void truthfulnessBands() {
        QFETCH(int, truthfulness);
        QFETCH(int, band);
        ScoringFixture f;
        f.s.RawScore[Truthfulness] = truthfulness;
        f.s.DeviantCount = {0, 5, 3, 0, 1, 0};
        // Floor items that would raise Drugs to 25 if its floors were applied.
        f.setFloorCounts(Drugs, 2, 0, 0, 0);
        f.convert();
        const double t = truthfulness;
        if (band < 0) {  // every scale corrected by band 9, no floors
            QCOMPARE(f.raw(), (Scores{t, 29, 39, 49, 59}));
            QCOMPARE(f.percentiles(), (Counts{truthfulness, 99, 99, 99, 99}));
            return;
        }
        QCOMPARE(f.raw(),
                 (Scores{t, band > 0 ? 20.0 + band : 0, 0, band > 0 ? 40.0 + band : 0, 0}));
        // Converted from the corrected raw scores, then capped and floored as usual.
        QCOMPARE(f.percentiles(),
                 (Counts{truthfulness, band > 0 ? 20 + band : 0, 25, band > 0 ? 28 : 0, 0}));
    }

    // Scale, raw score, {omitted, deviant, floor counts A, B, C, D, answers to 102 and 103} (zeros
    // left off) and the percentile. Truthfulness has MaxRaw 40, the other scales 99.
    void percentiles_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<double>("raw");
        QTest::addColumn<Counts>("counts");
        QTest::addColumn<int>("percentile");
        const auto row = [](const QByteArray& name, int scale, double raw, Counts counts, int p) {
            counts.resize(8);
            QTest::newRow(name.constData()) << scale << raw << counts << p;
        };
        row("at the maximum", 1, 40, {}, 40);
        row("above the maximum", 1, 41, {}, 99);
        row("below 0 as 0", 1, -3, {}, 0);
        row("20.5 to even 20", 1, 20.5, {}, 20);
        row("21.5 to even 22", 1, 21.5, {}, 22);
        row("3 omitted", 1, 10, {3}, 10);
        row("4 omitted", 1, 10, {4}, 99);
        row("4 omitted is not capped", 3, 10, {4, 1}, 99);
        row("1 deviant, 29", 4, 29, {0, 1}, 28);
        row("2 deviant, 39", 4, 39, {0, 2}, 38);
        row("3 deviant, 60", 5, 60, {0, 3}, 60);
        row("Truthfulness is never capped", 1, 30, {0, 1}, 30);
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
            }
            row("scale " + QByteArray::number(sc) + " T of 10", sc, 0, {0, 0, 4, 3, 3}, k[20]);
        }
    }
    void percentiles() {
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
        f.setFloorCounts(scale, counts[2], counts[3], counts[4], counts[5]);
        f.s.ItemAnswers[102] = counts[6];
        f.s.ItemAnswers[103] = counts[7];
        f.convert();
        QCOMPARE(int(f.s.Percentile[scale]), percentile);
    }

    // Sex and race codes pick the norm group (in file order); any other code is group 1 of its
    // kind. Raw scores 2 and 20 then show the group's offset.
    void normGroups_data() {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("race");
        QTest::addColumn<int>("group");
        const char* const rows[][3] = {{"1", "2", "1"}, {"1", "3", "2"}, {"2", "1", "3"},
                                       {"2", "3", "5"}, {"0", "0", "0"}, {"", "", "0"},
                                       {"2", "4", "3"}, {"3", "2", "1"}};
        for (const auto& [sex, race, group] : rows) {
            QTest::addRow("sex \"%s\", race \"%s\"", sex, race)
                << QString(sex) << QString(race) << std::atoi(group);
        }
    }
    void normGroups() {
        QFETCH(QString, sex);
        QFETCH(QString, race);
        QFETCH(int, group);
        ScoringFixture f;
        f.s.ClientInfo[3] = sex.toStdString();
        f.s.ClientInfo[4] = race.toStdString();
        f.s.RawScore = {0, 2, 0, 20, 20, 20};
        f.s.DeviantCount = {0, 0, 9, 9, 9, 9};
        f.convert();
        QCOMPARE(f.percentiles(), (Counts{2 + group, 0, 20 + group, 20 + group, 20 + group}));
    }

    void riskLevels_data() {
        QTest::addColumn<int>("percentile");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("name");
        // The names within MEDIUM and MAXIMUM are the narratives' tests.
        const std::tuple<int, int, const char*> rows[] = {
            {39, 1, "Lo"},   {40, 2, "MEDIUM-LOW"}, {69, 2, "MEDIUM-HIGH"},
            {70, 3, "Prob"}, {89, 3, "Prob"},       {90, 4, "MAXIMUM-LOW"}};
        for (const auto& [percentile, level, name] : rows) {
            QTest::addRow("%d", percentile) << percentile << level << QString(name);
        }
    }
    void riskLevels() {
        QFETCH(int, percentile);
        QFETCH(int, level);
        QFETCH(QString, name);
        ScoringFixture f;
        const RiskRange range = RiskLevel(percentile, f.session.Tables);
        QCOMPARE(range.level, level);
        QCOMPARE(QString::fromStdString(range.name), name);
    }
};

QTEST_GUILESS_MAIN(ScoringTest)
#include "ScoringTest.moc"
