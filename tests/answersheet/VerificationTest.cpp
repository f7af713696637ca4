#include <QtTest>
#include <tuple>

#include "answersheet/Verification.h"

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

class VerificationTest : public QObject {
    Q_OBJECT

private slots:
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

QTEST_GUILESS_MAIN(VerificationTest)
#include "VerificationTest.moc"
