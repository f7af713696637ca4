#include <QtTest>
#include <numeric>

#include "answersheet/AnswerGrids.h"
#include "support/TestFolder.h"
#include "testing/TestBank.h"

using namespace qlm;

class AnswerGridsTest : public QObject {
    Q_OBJECT

private slots:
    void kindOfAnItem_data() {
        QTest::addColumn<QString>("answer2");
        QTest::addColumn<int>("kind");
        const struct {
            const char* answer2;
            int kind;
        } rows[] = {
            {"False", 0},     {"False, mostly", 0}, {"No", 1},
            {"No, never", 2}, {"Sometimes", 3},     {"Mostly True", 4},
            {"Often", 5},     {"Falso", 2},         {"One parent", 2},
            {"", 2},          {"false", 2},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.answer2) << QString::fromLatin1(r.answer2) << r.kind;
        }
    }

    void kindOfAnItem() {
        QFETCH(QString, answer2);
        QFETCH(int, kind);
        QCOMPARE(AnswerKindOf(answer2.toStdString()), kind);
    }

    void keysEachKindTakes_data() {
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

    void keysEachKindTakes() {
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
    void gridsFollowTheBank() {
        test::TestFolder folder;
        const std::string bank = folder.root() + "/bank.db";
        std::vector<test::BankRow> rows = test::StandardRows();
        rows[98 - 1].Answer[1] = "No";
        rows[99 - 1].Answer[1] = "Sometimes";
        rows[100 - 1].Answer[1] = "False";
        rows[101 - 1].Answer[1] = "No";
        test::WriteBank(bank, {{"Spanish", test::StandardRows()}, {"English", rows}});

        std::vector<std::pair<int, std::vector<int>>> found;
        for (const AnswerGrid& grid : ReadAnswerGrids(bank)) {
            found.emplace_back(grid.kind, grid.items);
        }
        std::vector<int> trueFalse(97);
        std::iota(trueFalse.begin(), trueFalse.end(), 1);
        trueFalse.push_back(100);
        const std::vector<std::pair<int, std::vector<int>>> expected{
            {0, trueFalse},
            {1, {98, 101}},
            {3, {99}},
            {2, {102, 103, 104, 105, 106, 107, 108, 109}}};
        QVERIFY(found == expected);
    }

    // A short stored text reads as unanswered items; "0" and a blank mark no column; scanned
    // answers that came short are filled with "0" once.
    void answersAsTheRecordHoldsThem() {
        QCOMPARE(JoinGridAnswers(GridAnswersOf("3")), "3" + std::string(108, ' '));
        QCOMPARE(MarkedColumn('0'), 0);
        QCOMPARE(MarkedColumn(' '), 0);
        std::string scanned = "21";
        QVERIFY(FillScannedAnswers(scanned));
        QVERIFY(!FillScannedAnswers(scanned));
    }
};

QTEST_GUILESS_MAIN(AnswerGridsTest)
#include "AnswerGridsTest.moc"
