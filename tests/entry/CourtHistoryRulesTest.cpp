#include <QtTest>

#include "entry/CourtHistoryRules.h"
#include "storage/ClientRecord.h"

using namespace qlm;

class CourtHistoryRulesTest : public QObject {
    Q_OBJECT

private slots:
    void fieldRules_data();
    void fieldRules();
    void saveCheckTakesAnyCount_data();
    void saveCheckTakesAnyCount();
    void firstArrestAfterAge_data();
    void firstArrestAfterAge();
    void courtDataRoundTrip();
};

void CourtHistoryRulesTest::fieldRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("count");
    QTest::addColumn<bool>("age");
    QTest::addColumn<QString>("shown");  // what Enter leaves in the field
    QTest::newRow("n") << "n" << true << true << "N";
    QTest::newRow("empty") << "" << true << false << "";
    QTest::newRow("blanks") << "  " << true << false << "";
    QTest::newRow("0") << "0" << true << false << "0";
    QTest::newRow("4") << "4" << true << false << "4";
    QTest::newRow("5") << "5" << true << true << "5";
    QTest::newRow("05") << "05" << true << true << "05";
    QTest::newRow("99") << "99" << true << true << "99";
    QTest::newRow("blank before") << " 7" << true << true << "7";
    QTest::newRow("point after") << "1." << false << false << "1.";
    QTest::newRow("point before") << ".5" << false << false << ".5";
    QTest::newRow("minus one") << "-1" << false << false << "-1";
    QTest::newRow("plus") << "+5" << false << false << "+5";
    QTest::newRow("letter") << "x" << false << false << "X";
    QTest::newRow("nn") << "nn" << false << false << "NN";
    QTest::newRow("digit and letter") << "1a" << false << false << "1A";
    QTest::newRow("exponent") << "1e" << false << false << "1E";
    QTest::newRow("blank inside") << "1 2" << false << false << "1 2";
}

void CourtHistoryRulesTest::fieldRules() {
    QFETCH(QString, text);
    QFETCH(bool, count);
    QFETCH(bool, age);
    QFETCH(QString, shown);
    const std::string typed = text.toStdString();
    QCOMPARE(CheckCount(typed, 0, 99), count);
    QCOMPARE(CheckAgeAtFirstArrest(typed), age);
    QCOMPARE(CheckCourtField(CourtFields()[0], typed), age);
    QCOMPARE(CheckCourtField(CourtFields()[10], typed), count);
    QCOMPARE(QString::fromStdString(NormalizeCourtText(typed)), shown);
}

void CourtHistoryRulesTest::saveCheckTakesAnyCount_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refused");
    QTest::newRow("all acceptable") << 3 << "12" << -1;
    QTest::newRow("age 3 slipped past Enter") << 0 << "3" << -1;
    QTest::newRow("age left empty") << 0 << "" << -1;
    QTest::newRow("letter in the age") << 0 << "x" << 0;
    QTest::newRow("empty count") << 6 << "" << -1;
    QTest::newRow("fraction in the last count") << 10 << "1." << 10;
}

void CourtHistoryRulesTest::saveCheckTakesAnyCount() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, refused);
    CourtTexts texts;
    texts.fill("N");
    texts[0] = "14";
    texts[static_cast<std::size_t>(field)] = text.toStdString();
    QCOMPARE(FirstRefusedCourtField(texts), refused);
}

void CourtHistoryRulesTest::firstArrestAfterAge_data() {
    QTest::addColumn<QString>("arrest");
    QTest::addColumn<QString>("age");
    QTest::addColumn<bool>("warned");
    const struct {
        const char *row, *arrest, *age;
        bool warned;
    } rows[] = {
        {"above", "16", "15", true},
        {"same", "15", "15", false},
        {"above an age padded as stored", "12", "9 ", true},
        {"arrest not available", "N", "15", false},
        {"arrest empty", "", "15", false},
        {"age not available", "16", "N ", false},
        {"age 0", "16", "0 ", false},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.row) << QString(r.arrest) << QString(r.age) << r.warned;
    }
}

void CourtHistoryRulesTest::firstArrestAfterAge() {
    QFETCH(QString, arrest);
    QFETCH(QString, age);
    QFETCH(bool, warned);
    QCOMPARE(FirstArrestAfterAge(arrest.toStdString(), age.toStdString()), warned);
}

// Loading shows trimmed counts without touching the record; storing pads each changed count to
// 2, and one that says what it said keeps its bytes.
void CourtHistoryRulesTest::courtDataRoundTrip() {
    ClientRecord record;
    record.set(&ClientRecord::Name, "ROE, PAT");
    record.set(&ClientRecord::AgeAtFirstArrest, " 9");
    record.set(&ClientRecord::TruancyCount, "N");
    record.set(&ClientRecord::DrugArrestCount, "12");
    const ClientRecord before = record;
    CourtTexts typed = GetCourtData(record);
    QCOMPARE(record, before);
    QCOMPARE(typed, (CourtTexts{"9", "N", "", "", "", "", "", "", "", "", "12"}));
    typed = {"9", "N", "", "3", "0", "1", "2", "4", "5", "6", "12"};
    SaveCourtData(record, typed);
    QCOMPARE(record.toBytes().substr(52, 22), std::string(" 9N   3 0 1 2 4 5 6 12"));
    QCOMPARE(record.Name, before.Name);
}

QTEST_APPLESS_MAIN(CourtHistoryRulesTest)
#include "CourtHistoryRulesTest.moc"
