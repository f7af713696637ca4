#include <QtTest>

#include "answersheet/AnswerGrids.h"
#include "support/TestFolder.h"
#include "testing/TestBank.h"

using namespace qlm;

class AnswerGridsTest : public QObject {
    Q_OBJECT

private slots:
    void kindOfAnItem_data();
    void kindOfAnItem();
    void keysEachKindTakes_data();
    void keysEachKindTakes();
    void gridsFollowTheBank();
    void answersAsTheRecordHoldsThem();
};

void AnswerGridsTest::kindOfAnItem_data() {
    QTest::addColumn<QString>("answer2");
    QTest::addColumn<int>("kind");
    const struct {
        const char* answer2;
        int kind;
    } rows[] = {
        {"False", 0},       {"False, mostly", 0}, {"No", 1},    {"No, never", 2},  {"Sometimes", 3},
        {"Mostly True", 4}, {"Often", 5},         {"Falso", 2}, {"One parent", 2}, {"", 2},
        {"false", 2},
    };
    for (const auto& r : rows) {
        QTest::newRow(r.answer2) << QString::fromLatin1(r.answer2) << r.kind;
    }
}

void AnswerGridsTest::kindOfAnItem() {
    QFETCH(QString, answer2);
    QFETCH(int, kind);
    QCOMPARE(AnswerKindOf(answer2.toStdString()), kind);
}

void AnswerGridsTest::keysEachKindTakes_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("taken");
    // Of the keys "0" to "6", "a" and a blank: those each kind records.
    QTest::newRow("true/false") << 0 << "012";
    QTest::newRow("yes/no") << 1 << "012";
    QTest::newRow("four choices") << 2 << "01234";
    QTest::newRow("how often") << 3 << "01234";
    QTest::newRow("how true") << 4 << "012345";
    QTest::newRow("often either way") << 5 << "012345";
}

void AnswerGridsTest::keysEachKindTakes() {
    QFETCH(int, kind);
    QFETCH(QString, taken);
    QString accepted;
    for (const char key : std::string("0123456a ")) {
        if (KindAcceptsDigit(kind, key)) {
            accepted += QLatin1Char(key);
        }
    }
    QCOMPARE(accepted, taken);
}

// One grid per kind, in the order the kinds first occur; an item joins its kind's grid
// wherever it stands in the bank.
void AnswerGridsTest::gridsFollowTheBank() {
    test::TestFolder folder;
    const std::string bank = folder.root() + "/bank.db";
    std::vector<test::BankRow> rows = test::StandardRows();
    rows[98 - 1].Answer[1] = "No";
    rows[99 - 1].Answer[1] = "Sometimes";
    rows[100 - 1].Answer[1] = "False";
    rows[101 - 1].Answer[1] = "No";
    test::WriteBank(bank, {{"Spanish", test::StandardRows()}, {"English", rows}});

    const std::vector<AnswerGrid> grids = ReadAnswerGrids(bank);
    QCOMPARE(grids.size(), std::size_t(4));
    QCOMPARE(grids[0].kind, 0);
    QCOMPARE(grids[0].items.size(), std::size_t(98));
    QCOMPARE(grids[0].items.back(), 100);
    QCOMPARE(grids[1].kind, 1);
    QCOMPARE(grids[1].items, (std::vector<int>{98, 101}));
    QCOMPARE(grids[2].kind, 3);
    QCOMPARE(grids[2].items, std::vector<int>{99});
    QCOMPARE(grids[3].kind, 2);
    QCOMPARE(grids[3].items.front(), 102);
    QCOMPARE(grids[3].items.back(), 109);
}

void AnswerGridsTest::answersAsTheRecordHoldsThem() {
    const std::string stored = "12" + std::string(106, ' ') + "5";
    GridAnswers grid = GridAnswersOf(stored);
    QCOMPARE(grid[1], '1');
    QCOMPARE(grid[3], ' ');
    QCOMPARE(grid[109], '5');
    QCOMPARE(JoinGridAnswers(grid), stored);
    QCOMPARE(JoinGridAnswers(GridAnswersOf("3")), "3" + std::string(108, ' '));

    QCOMPARE(MarkedColumn('0'), 0);
    QCOMPARE(MarkedColumn(' '), 0);
    QCOMPARE(MarkedColumn('4'), 4);

    std::string scanned = "21";
    QVERIFY(FillScannedAnswers(scanned));
    QCOMPARE(scanned, "21" + std::string(107, '0'));
    QVERIFY(!FillScannedAnswers(scanned));
}

QTEST_GUILESS_MAIN(AnswerGridsTest)
#include "AnswerGridsTest.moc"
