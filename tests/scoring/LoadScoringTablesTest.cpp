#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <set>

#include "TableFiles.h"
#include "scoring/Scoring.h"
#include "storage/DataFileError.h"

using namespace qlm;
using qlm::test::TableFiles;
using qlm::test::TestFolder;

using Change = std::function<void(TableFiles&)>;
Q_DECLARE_METATYPE(Change)

// Reading "QLMRPT.TXT" and "QLMB.TXT": the order of their parts, fields and lines, the
// refusal of faulty files, and the consistency of the files shipped with the program.
class LoadScoringTablesTest : public QObject {
    Q_OBJECT

private slots:
    void readsEveryPartInOrder();
    void acceptsCrLfAndBlanks();
    void refusesFaultyFiles_data();
    void refusesFaultyFiles();
    void reportsMissingAndUnreadableFiles();
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
    t.significantItems.back() = 109;
    t.scaleItems[2] = {4, 98, 102};
    t.scaleItems[5] = {109};
    t.setPoints({{97, 2, 4}, {109, 4, 3}});
    t.setMaxRaw(3, 12);
    t.floorD[14] = 108;
    const ScoringTables s = load(t, folder.program());

    QCOMPARE(s.ScaleName[2], std::string("Alcohol, use"));
    QCOMPARE(s.ScaleName[5], std::string("Antisocial"));
    QCOMPARE(s.RiskRangeName[1], std::string("Lo"));
    QCOMPARE(s.RiskRangeName[4], std::string("Max"));
    // Lines are taken whole, commas, quotes and leading blanks included.
    QCOMPARE(s.SignificantItemText[1], std::string(" Significant 1, said \"True\""));
    QCOMPARE(s.SignificantItemText[55], std::string(" Significant 55, said \"True\""));
    QCOMPARE(s.ChoiceText[1], std::string("Choice 1"));
    QCOMPARE(s.ChoiceText[48], std::string("Choice 48"));
    QCOMPARE(s.SignificantItem[55], 109);
    QCOMPARE(s.ScoringKey[1][2], std::string(96, '0') + "4");
    QCOMPARE(s.ScoringKey[2][4], std::string(11, '0') + "3");
    QCOMPARE(s.MaxRaw, (std::array<int, 6>{0, 99, 99, 12, 99, 99}));
    // [scale][raw][race][sex]; the groups are (male, race 1 to 3), (female, race 1 to 3).
    QCOMPARE(int(s.NormTable[2][10][2][1]), 11);
    QCOMPARE(int(s.NormTable[3][12][3][1]), 14);
    QCOMPARE(int(s.NormTable[4][20][1][2]), 23);
    QCOMPARE(int(s.NormTable[5][99][3][2]), 99);
    QCOMPARE(int(s.NormTable[3][13][1][1]), 0);
    QCOMPARE(s.ScaleItems[1].Count, 0);
    QCOMPARE(s.ScaleItems[2].Count, 3);
    QCOMPARE(s.ScaleItems[2].Items[3], 102);
    QCOMPARE(s.ScaleItems[5].Items[1], 109);
    QCOMPARE(s.FloorItemsA[75], 75);
    QCOMPARE(s.FloorItemsD[1], 76);
    QCOMPARE(s.FloorItemsD[14], 108);
    QCOMPARE(s.TruthCorrection[1][1], 11);
    QCOMPARE(s.TruthCorrection[5][9], 59);
    QCOMPARE(s.AlcoholNarrativeItems[12], 12);
    QCOMPARE(s.DrugNarrativeItems[15], 15);
    QCOMPARE(s.NarrativeFile[1], folder.program() + "/QLMVA.TXT");
    QCOMPARE(s.NarrativeFile[5], folder.program() + "/QLMAS.TXT");
}

void LoadScoringTablesTest::acceptsCrLfAndBlanks() {
    TestFolder folder;
    TableFiles t;
    t.scaleItems[3] = {5, 6};
    const ScoringTables plain = load(t, folder.program());
    t.edit = [](std::string& report, std::string& keys) {
        replaceAll(report, "\n", "\r\n");
        replaceAll(keys, "\n", "\r\n");
    };
    QVERIFY(load(t, folder.program()) == plain);
    t.edit = [](std::string& report, std::string& keys) {
        replaceAll(report, "\",\"", "\" ,  \"");
        replaceAll(keys, ",", " , ");
        replaceAll(keys, "\n", " \n  ");
    };
    QVERIFY(load(t, folder.program()) == plain);
}

void LoadScoringTablesTest::refusesFaultyFiles_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("problem");
    const auto row = [](const char* name, Change change, const char* file, const char* problem) {
        QTest::newRow(name) << change << QString(file) << QString(problem);
    };
    const auto edit = [](std::function<void(std::string & report, std::string & keys)> e) {
        return [e](TableFiles& t) { t.edit = e; };
    };
    row("report texts short",
        edit([](std::string& report, std::string&) { report.resize(report.find("Choice 48")); }),
        "QLMRPT.TXT", "line 109: the file ends before the 48 answer lines");
    row("keys short",
        edit([](std::string&, std::string& keys) { keys.resize(keys.find("\"Corrections\"")); }),
        "QLMB.TXT", "the file ends before the label of the Truthfulness corrections");
    row("empty keys file", edit([](std::string&, std::string& keys) { keys.clear(); }), "QLMB.TXT",
        "line 1: the file ends before the 55 significant items");
    row("norm that is not a number", edit([](std::string&, std::string& keys) {
            replaceAll(keys, "\n1,2,3,4,5,6,7,", "\n7x,");
        }),
        "QLMB.TXT",
        "the norms of scale 1 in norm group (sex 1, race 1) must be a whole number, not \"7x\"");
    row(
        "norm above 99", [](TableFiles& t) { t.norm = [](int, int, int raw) { return raw + 1; }; },
        "QLMB.TXT", "must lie within 0 to 99, not 100");
    row(
        "MaxRaw above 100", [](TableFiles& t) { t.setMaxRaw(2, 101); }, "QLMB.TXT",
        "the norms of scale 2 in norm group (sex 1, race 1) must lie within 0 to 100, not 101");
    row(
        "maxima differ between groups", [](TableFiles& t) { t.maxRaw[5][4] = 98; }, "QLMB.TXT",
        "norm group (sex 2, race 3) gives scale 4 the maximum raw score 98, the groups before it "
        "99");
    row(
        "scale item 110",
        [](TableFiles& t) {
            t.scaleItems[2] = {1, 110};
        },
        "QLMB.TXT", "the items of scale 2 must lie within 1 to 109, not 110");
    row(
        "scale item 0", [](TableFiles& t) { t.scaleItems[5] = {0}; }, "QLMB.TXT",
        "the items of scale 5 must lie within 1 to 109, not 0");
    row(
        "31 scale items", [](TableFiles& t) { t.scaleItems[1] = std::vector<int>(31, 1); },
        "QLMB.TXT", "the items of scale 1 must lie within 0 to 30, not 31");
    row(
        "floor item 110", [](TableFiles& t) { t.floorA[75] = 110; }, "QLMB.TXT",
        "the 75 floor items of 2, 3 and 4 points must lie within 1 to 109");
    row(
        "significant item 0", [](TableFiles& t) { t.significantItems[0] = 0; }, "QLMB.TXT",
        "line 1: the 55 significant items must lie within 1 to 109, not 0");
    row("quote not closed",
        edit([](std::string& report, std::string&) { report.erase(report.find("\",")); }),
        "QLMRPT.TXT", "line 1: the quoted value of the name of scale 1 has no closing quote");
    row("text after a quoted value", edit([](std::string& report, std::string&) {
            replaceAll(report, "\"Drugs\"", "\"Drugs\" x");
        }),
        "QLMRPT.TXT", "unexpected text after the quoted value of the name of scale 3");
}

void LoadScoringTablesTest::refusesFaultyFiles() {
    QFETCH(Change, change);
    QFETCH(QString, file);
    QFETCH(QString, problem);
    TestFolder folder;
    TableFiles t;
    change(t);
    try {
        load(t, folder.program());
        QFAIL("the faulty tables were loaded");
    } catch (const DataFileError& e) {
        QCOMPARE(QString::fromStdString(e.file()),
                 QString::fromStdString(folder.program()) + "/" + file);
        const QString message = QString::fromStdString(e.what());
        QVERIFY2(message.startsWith(QString::fromStdString(e.file()) + ": "), e.what());
        QVERIFY2(message.contains(problem), e.what());
    }
}

void LoadScoringTablesTest::reportsMissingAndUnreadableFiles() {
    TestFolder folder;
    const auto message = [&folder](const FileSystem& files) -> std::string {
        try {
            ReadScoringTables(files, folder.program());
        } catch (const DataFileError& e) {
            return e.what();
        }
        return "loaded";
    };
    TableFiles().writeTo(folder.program());
    QCOMPARE(message(FileSystem(test::FailOn(FileOp::Read, "QLMB.TXT", EIO))),
             folder.program() + "/QLMB.TXT: cannot be read (Error 57: Device I/O error)");
    std::remove((folder.program() + "/QLMRPT.TXT").c_str());
    QCOMPARE(message(FileSystem()),
             folder.program() + "/QLMRPT.TXT: cannot be read (Error 53: File not found)");
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
