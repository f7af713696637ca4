#include <QtTest>

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
    void secondEntryAgainstTheStoredAnswers_data();
    void secondEntryAgainstTheStoredAnswers();
    void rangesOfTheTwoSections();
    void backspaceStepsBack();
};

void VerificationTest::secondEntryAgainstTheStoredAnswers_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QList<int>>("differing");
    const std::string same = sheet();
    std::string one = same;
    one[40 - 1] = one[40 - 1] == '1' ? '2' : '1';
    // Items 1 and 2 never answered: only they differ, the rest is not compared shifted.
    std::string leadingBlanks = same;
    leadingBlanks[0] = leadingBlanks[1] = ' ';
    std::string shortText = same.substr(0, 100);
    QTest::newRow("same") << QByteArray(same.c_str()) << QByteArray(same.c_str()) << QList<int>{};
    QTest::newRow("one differs") << QByteArray(one.c_str()) << QByteArray(same.c_str())
                                 << QList<int>{40};
    QTest::newRow("leading blanks")
        << QByteArray(leadingBlanks.c_str()) << QByteArray(same.c_str()) << QList<int>{1, 2};
    QTest::newRow("short stored text") << QByteArray(shortText.c_str()) << QByteArray(same.c_str())
                                       << QList<int>{101, 102, 103, 104, 105, 106, 107, 108, 109};
}

// The second entry is compared position by position; the items that differ are typed again
// and their third entry replaces the second.
void VerificationTest::secondEntryAgainstTheStoredAnswers() {
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, typed);
    QFETCH(QList<int>, differing);
    Verification v(stored.toStdString(), 97);
    QCOMPARE(v.QuestionCount(), 109);
    const VerifyStep end = typeAll(v, typed.toStdString());
    if (differing.isEmpty()) {
        QCOMPARE(end, VerifyStep::NoCorrections);
        QVERIFY(!v.CorrectionMode());
        return;
    }
    QCOMPARE(end, VerifyStep::CorrectionsNeeded);
    QVERIFY(v.CorrectionMode());
    QCOMPARE(v.QuestionCount(), differing.size());
    std::string expected = typed.toStdString();
    for (qsizetype i = 0; i < differing.size(); ++i) {
        QCOMPARE(v.Position(), int(i + 1));
        QCOMPARE(v.currentItem(), differing[i]);
        expected[static_cast<std::size_t>(differing[i] - 1)] = '0';
        QCOMPARE(v.type('0'), i + 1 < differing.size() ? VerifyStep::Next : VerifyStep::Complete);
    }
    QCOMPARE(v.EntryString(), expected);
}

void VerificationTest::rangesOfTheTwoSections() {
    Verification v(sheet(), 97);
    QCOMPARE(v.accepts(5, '3'), false);
    QCOMPARE(v.accepts(5, '2'), true);
    QCOMPARE(v.accepts(97, '3'), false);
    QCOMPARE(v.accepts(98, '4'), true);
    QCOMPARE(v.accepts(100, '3'), true);
    QCOMPARE(v.accepts(100, '5'), false);
    QCOMPARE(v.accepts(100, 'a'), false);
    QCOMPARE(v.type('3'), VerifyStep::Refused);
    QCOMPARE(v.type('\b'), VerifyStep::Refused);
    QCOMPARE(v.currentItem(), 1);
    QCOMPARE(v.EntryString(), std::string(109, '0'));
}

void VerificationTest::backspaceStepsBack() {
    Verification v(sheet(), 97);
    QVERIFY(!v.backspace());
    QCOMPARE(v.type('2'), VerifyStep::Next);
    QCOMPARE(v.currentItem(), 2);
    QCOMPARE(v.previousItem(), 1);
    QCOMPARE(v.entered(1), '2');
    QVERIFY(v.backspace());
    QCOMPARE(v.currentItem(), 1);
    QCOMPARE(v.previousItem(), 0);
    QCOMPARE(v.type('1'), VerifyStep::Next);
    QCOMPARE(v.entered(1), '1');
}

QTEST_GUILESS_MAIN(VerificationTest)
#include "VerificationTest.moc"
