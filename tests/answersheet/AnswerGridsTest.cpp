#include <QtTest>
#include <numeric>
#include <tuple>

#include "answersheet/AnswerGrids.h"
#include "answersheet/Verification.h"
#include "support/TestFolder.h"
#include "testing/TestBank.h"

using namespace qlm;

namespace {

// Types `digits` from the current item on and returns the last step.
VerifyStep typeAll(Verification& v, const std::string& digits) {
    VerifyStep step = VerifyStep::Refused;
    for (const char d : digits) {
        step = v.type(d);
        if (step == VerifyStep::Refused) {
            return step;
        }
    }
    return step;
}

// 97 true/false answers and 12 of four choices.
std::string sheet() {
    std::string answers;
    for (int i = 1; i <= 109; ++i) {
        answers += static_cast<char>('0' + (i <= 97 ? i % 3 : i % 5));
    }
    return answers;
}

}  // namespace

// The answer sheet's rules: the grids its items fall into, and the check of a second entry.
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

    void secondEntryAgainstTheStoredAnswers_data() {
        QTest::addColumn<std::string>("stored");
        QTest::addColumn<std::string>("typed");
        QTest::addColumn<QList<int>>("differing");
        const std::string same = sheet();
        std::string one = same;
        one[40 - 1] = one[40 - 1] == '1' ? '2' : '1';
        // Items 1 and 2 never answered: only they differ, the rest is not compared shifted.
        std::string leadingBlanks = same;
        leadingBlanks[0] = leadingBlanks[1] = ' ';
        QTest::newRow("same") << same << same << QList<int>{};
        QTest::newRow("one differs") << one << same << QList<int>{40};
        QTest::newRow("leading blanks") << leadingBlanks << same << QList<int>{1, 2};
        QTest::newRow("short stored text")
            << same.substr(0, 100) << same
            << QList<int>{101, 102, 103, 104, 105, 106, 107, 108, 109};
    }

    // The second entry is compared position by position; the items that differ are typed again
    // and their third entry replaces the second.
    void secondEntryAgainstTheStoredAnswers() {
        QFETCH(std::string, stored);
        QFETCH(std::string, typed);
        QFETCH(QList<int>, differing);
        Verification v(stored, 97);
        QCOMPARE(v.QuestionCount(), 109);
        const VerifyStep end = typeAll(v, typed);
        if (differing.isEmpty()) {
            QCOMPARE(end, VerifyStep::NoCorrections);
            QVERIFY(!v.CorrectionMode());
            return;
        }
        QCOMPARE(end, VerifyStep::CorrectionsNeeded);
        QVERIFY(v.CorrectionMode());
        QCOMPARE(v.QuestionCount(), differing.size());
        std::string expected = typed;
        for (qsizetype i = 0; i < differing.size(); ++i) {
            QCOMPARE(v.Position(), int(i + 1));
            QCOMPARE(v.currentItem(), differing[i]);
            expected[static_cast<std::size_t>(differing[i] - 1)] = '0';
            QCOMPARE(v.type('0'),
                     i + 1 < differing.size() ? VerifyStep::Next : VerifyStep::Complete);
        }
        QCOMPARE(v.EntryString(), expected);
    }

    // Section 1 takes 0 to 2, section 2 0 to 4; a refused key leaves the entry where it was.
    void rangesOfTheTwoSections() {
        Verification v(sheet(), 97);
        const std::tuple<int, char, bool> keys[] = {{5, '3', false},   {5, '2', true},
                                                    {97, '3', false},  {98, '4', true},
                                                    {100, '5', false}, {100, 'a', false}};
        for (const auto& [item, key, taken] : keys) {
            QCOMPARE(v.accepts(item, key), taken);
        }
        QCOMPARE(v.type('3'), VerifyStep::Refused);
        QCOMPARE(v.type('\b'), VerifyStep::Refused);
        QVERIFY(!v.backspace());
        QCOMPARE(v.type('2'), VerifyStep::Next);
        QVERIFY(v.backspace());
        QCOMPARE(v.type('1'), VerifyStep::Next);
        QCOMPARE(v.entered(1), '1');
        QCOMPARE(v.EntryString(), "1" + std::string(108, '0'));
    }
};

QTEST_GUILESS_MAIN(AnswerGridsTest)
#include "AnswerGridsTest.moc"
