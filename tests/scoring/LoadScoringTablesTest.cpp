#include <QtTest>
#include <algorithm>
#include <set>

#include "TableFiles.h"
#include "scoring/Scoring.h"
#include "storage/DataFileError.h"

using namespace qlm;
using qlm::test::TableFiles;
using qlm::test::TestFolder;

// Reading "QLMRPT.TXT" and "QLMB.TXT": the order of their parts, fields and lines, the
// refusal of faulty files, and the consistency of the files shipped with the program.
class LoadScoringTablesTest : public QObject {
    Q_OBJECT

private slots:
    void readsEveryPartInOrder();
    void acceptsLineEndsAndBlanksRefusesFaults_data();
    void acceptsLineEndsAndBlanksRefusesFaults();
    void shippedFilesAreConsistent();
};

namespace {

ScoringTables load(const TableFiles& t, const std::string& folder) {
    t.writeTo(folder);
    return ReadScoringTables(FileSystem(), folder);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

bool inTest(int item) {
    return item >= 1 && item <= 109;
}

}  // namespace

void LoadScoringTablesTest::readsEveryPartInOrder() {
    TestFolder folder;
    TableFiles t;
    t.scaleItems[2] = {4, 98, 102};
    t.scaleItems[5] = {109};
    t.setPoints({{97, 2, 4}, {109, 4, 3}});
    t.maxRaw[3] = 12;
    const ScoringTables s = load(t, folder.program());

    // Texts are taken whole, commas, quotes and leading blanks included.
    QCOMPARE((std::vector{s.ScaleName[2], s.ScaleName[5], s.RiskRangeName[1], s.RiskRangeName[4],
                          s.SignificantItemText[55], s.ChoiceText[1], s.ChoiceText[48],
                          s.ScoringKey[1][2], s.ScoringKey[2][4], s.NarrativeFile[5]}),
             (std::vector<std::string>{"Alcohol, use", "Antisocial", "Lo", "Max",
                                       " Significant 55, said \"True\"", "Choice 1", "Choice 48",
                                       std::string(96, '0') + "4", std::string(11, '0') + "3",
                                       folder.program() + "/QLMAS.TXT"}));
    QCOMPARE(s.MaxRaw, (std::array<int, 6>{0, 99, 99, 12, 99, 99}));
    // NormTable is [scale][raw][race][sex]; the groups are (male, race 1 to 3), (female, ...).
    QCOMPARE((std::vector<int>{s.NormTable[2][10][2][1], s.NormTable[3][12][3][1],
                               s.NormTable[4][20][1][2], s.NormTable[5][99][3][2],
                               s.NormTable[3][13][1][1]}),
             (std::vector<int>{11, 14, 23, 99, 0}));
    QCOMPARE((std::vector{s.SignificantItem[55], s.ScaleItems[1].Count, s.ScaleItems[2].Count,
                          s.ScaleItems[2].Items[3], s.ScaleItems[5].Items[1], s.FloorItemsA[75],
                          s.FloorItemsD[1], s.FloorItemsD[14], s.TruthCorrection[1][1],
                          s.TruthCorrection[5][9], s.AlcoholNarrativeItems[12],
                          s.DrugNarrativeItems[15]}),
             (std::vector{55, 0, 3, 102, 109, 75, 76, 89, 11, 59, 12, 15}));
}

// Each row replaces text of the file it names (every place it stands); without a problem the
// tables read as before.
void LoadScoringTablesTest::acceptsLineEndsAndBlanksRefusesFaults_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("problem");
    const auto row = [](const char* name, const char* file, const char* from, const char* to,
                        const char* problem) {
        QTest::newRow(name) << QString(file) << QString(from) << QString(to) << QString(problem);
    };
    const char* const report = "QLMRPT.TXT";
    const char* const keys = "QLMB.TXT";
    row("report texts with CR LF", report, "\n", "\r\n", "");
    row("keys with CR LF", keys, "\n", "\r\n", "");
    row("blanks between quoted values", report, "\",\"", "\" ,  \"", "");
    row("blanks around numbers", keys, ",", " , ", "");
    row("blanks around lines", keys, "\n", " \n  ", "");
    row("report texts short", report, "Choice 48\n", "",
        "line 109: the file ends before answer line 48");
    row("scale name too long", report, "\"Alcohol, use\"", "\"Alcohol and other drug use\"",
        "line 1: the name of scale 2 is 26 characters long; the report has room for 20");
    row("range name too long", report, "\"Prob\"", "\"Problem with a long name\"",
        "line 2: the name of risk range 3 is 24 characters long; the report has room for 14");
    row("listed line too long", report, " 55, said \"True\"\n",
        " 55, said \"True\" and some more\n",
        "line 61: significant item line 55 is 42 characters long; the report has room for 36");
    row("key too short", keys, "\"000000000000\"", "\"00000000000\"",
        "line 5: the scoring key of items 98 to 109 must be 12 digits, one for each item, not "
        "\"00000000000\"");
    row("key not digits", keys, "\"000000000000\"", "\"0000000x0000\"",
        "line 5: the scoring key of items 98 to 109 must be 12 digits, one for each item, not "
        "\"0000000x0000\"");
    // A fault in the last value of a line is on that line, not the next.
    row("last value of a line", keys, ",55\n", ",110\n",
        "line 1: the 55 significant items must lie within 1 to 109, not 110");
    row("keys short", keys, "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\n", "", "the file ends before");
    row("quote not closed", report, "\"Antisocial\"", "\"Antisocial",
        "line 1: the quoted value of the name of scale 5 has no closing quote");
    row("text after a quoted value", report, "\"Drugs\"", "\"Drugs\" x",
        "unexpected text after the quoted value of the name of scale 3");
    row("significant item 0", keys, "1,2,3,", "0,2,3,",
        "line 1: the 55 significant items must lie within 1 to 109, not 0");
    row("norm that is not a number", keys, "\n1,2,3,4,5,6,7,", "\n7x,",
        "the norms of scale 1 in norm group (sex 1, race 1) must be a whole number, not \"7x\"");
    row("norm above 99", keys, ",98,99\n", ",98,100\n", "must lie within 0 to 99, not 100");
    row("MaxRaw above 100", keys, "\"Scale\",99\n", "\"Scale\",101\n",
        "the norms of scale 1 in norm group (sex 1, race 1) must lie within 0 to 100, not 101");
    row("maxima differ between groups", keys, "\"Group 5, norms\"\n\"Scale\",99\n",
        "\"Group 5, norms\"\n\"Scale\",98\n",
        "norm group (sex 2, race 3) gives scale 1 the maximum raw score 98, the groups before it "
        "99");
    row("scale item 110", keys, "\"Scale items\"\n0\n", "\"Scale items\"\n2\n1,110\n",
        "the items of scale 1 must lie within 1 to 109, not 110");
    row("31 scale items", keys, "\"Scale items\"\n0\n", "\"Scale items\"\n31\n",
        "the items of scale 1 must lie within 0 to 30, not 31");
}

void LoadScoringTablesTest::acceptsLineEndsAndBlanksRefusesFaults() {
    QFETCH(QString, file);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, problem);
    TestFolder folder;
    TableFiles t;
    t.scaleItems[3] = {5, 6};
    const ScoringTables plain = load(t, folder.program());
    t.edit = [&](std::string& report, std::string& keys) {
        replaceAll(file == "QLMB.TXT" ? keys : report, from.toStdString(), to.toStdString());
    };
    if (problem.isEmpty()) {
        QVERIFY(load(t, folder.program()) == plain);
        return;
    }
    try {
        load(t, folder.program());
        QFAIL("the faulty tables were loaded");
    } catch (const DataFileError& e) {
        QCOMPARE(e.file(), folder.program() + "/" + file.toStdString());
        const QString message = QString::fromStdString(e.what());
        QVERIFY2(message.startsWith(QString::fromStdString(e.file()) + ": "), e.what());
        QVERIFY2(message.contains(problem), e.what());
    }
}

void LoadScoringTablesTest::shippedFilesAreConsistent() {
    const ScoringTables s = ReadScoringTables(FileSystem(), TestFolder::sourceFolder() + "/data");
    for (int sc = 1; sc <= 5; ++sc) {
        QVERIFY(!s.ScaleName[sc].empty() && s.ScaleName[sc].size() <= 20);
        QVERIFY(!s.RiskRangeName[std::min(sc, 4)].empty());
    }
    // Each line begins with its item number and fits a half-width column.
    for (int i = 1; i <= 55; ++i) {
        QVERIFY(inTest(s.SignificantItem[i]) && s.SignificantItemText[i].size() <= 36);
        QCOMPARE(std::stoi(s.SignificantItemText[i]), s.SignificantItem[i]);
    }
    for (int i = 1; i <= 48; ++i) {
        QVERIFY(s.ChoiceText[i].size() <= 36);
        QCOMPARE(std::stoi(s.ChoiceText[i]), 98 + (i - 1) / 4);
    }
    for (int a = 0; a <= 4; ++a) {
        QVERIFY(s.ScoringKey[1][std::min(a, 2)].find_first_not_of("01234") == std::string::npos);
        QVERIFY(s.ScoringKey[2][a].find_first_not_of("01234") == std::string::npos);
        QCOMPARE(s.ScoringKey[1][std::min(a, 2)].size() + s.ScoringKey[2][a].size(), 109u);
    }
    // Every group has the one maximum (the loader refuses others), norms rise from 0 to 99.
    QVERIFY(s.MaxRaw[1] < 99);
    std::set<int> onScales;
    for (int sc = 1; sc <= 5; ++sc) {
        for (int group = 0; group < 6; ++group) {
            const auto norm = [&](int raw) {
                return s.NormTable[sc][raw][group % 3 + 1][group / 3 + 1];
            };
            for (int raw = 1; raw <= s.MaxRaw[sc]; ++raw) {
                QVERIFY(norm(raw) >= norm(raw - 1));
            }
            QCOMPARE(int(norm(s.MaxRaw[sc])), 99);
        }
        const auto& list = s.ScaleItems[sc];
        QVERIFY(list.Count > 0 && list.Count <= 30);
        QVERIFY(std::all_of(list.Items.begin() + 1, list.Items.begin() + 1 + list.Count, inTest));
        onScales.insert(list.Items.begin() + 1, list.Items.begin() + 1 + list.Count);
    }
    QVERIFY(onScales.count(102) && onScales.count(103));
    QVERIFY(std::all_of(s.FloorItemsA.begin() + 1, s.FloorItemsA.end(), inTest));
    QVERIFY(std::all_of(s.FloorItemsD.begin() + 1, s.FloorItemsD.end(), inTest));
    QVERIFY(
        std::all_of(s.AlcoholNarrativeItems.begin() + 1, s.AlcoholNarrativeItems.end(), inTest));
    QVERIFY(std::all_of(s.DrugNarrativeItems.begin() + 1, s.DrugNarrativeItems.end(), inTest));
    for (int band = 1; band <= 9; ++band) {
        QCOMPARE(s.TruthCorrection[1][band], 0);
    }
}

QTEST_GUILESS_MAIN(LoadScoringTablesTest)
#include "LoadScoringTablesTest.moc"
