#include <QtTest>

#include "support/TestFolder.h"
#include "testing/Presentation.h"
#include "testing/QuestionBank.h"
#include "testing/TestBank.h"

using namespace qlm;

namespace {

// The standard bank, item 99 offering only two choices.
Presentation standardTest(test::TestFolder& folder) {
    std::vector<test::BankRow> rows = test::StandardRows();
    rows[99 - 1].Answer[2] = std::nullopt;
    rows[99 - 1].Answer[3] = "";
    const std::string path = folder.root() + "/bank.db";
    test::WriteBank(path, {{"English", rows}});
    const QuestionBank bank(path);
    return Presentation(bank.openTable("English"));
}

// Answers the items from the one on screen up to `last` with choice `i`, moving on after each.
void answerUpTo(Presentation& p, int last, int i = 0) {
    while (p.item().ID <= last) {
        const int id = p.item().ID;
        p.choose(i);
        if (p.GetNextQuestion() == NextShown::EndOfTest || id == last) {
            return;
        }
    }
}

}  // namespace

class PresentationTest : public QObject {
    Q_OBJECT

private slots:
    void theWholeTestWithTheFirstChoice();
    void steppingBack();
    void stepsBackAcrossTheSections();
};

void PresentationTest::theWholeTestWithTheFirstChoice() {
    test::TestFolder folder;
    Presentation p = standardTest(folder);
    QCOMPARE(p.item().ID, 1);
    QCOMPARE(QuestionText(p.item()), std::string("1. Statement 1"));
    QCOMPARE(p.item().QuestionAudioFile, std::string("q1.wav"));
    QCOMPARE(p.answerText(), std::string(109, '0'));
    for (int n = 1; n <= 109; ++n) {
        QCOMPARE(p.item().ID, n);
        const AfterChoice expected = n == 97    ? AfterChoice::EndOfPart
                                     : n == 109 ? AfterChoice::EndOfTest
                                                : AfterChoice::Nothing;
        QCOMPARE(p.choose(0), expected);
        const NextShown next = p.GetNextQuestion();
        QCOMPARE(next, n == 97    ? NextShown::SectionTwoInstructions
                       : n == 109 ? NextShown::EndOfTest
                                  : NextShown::Item);
        if (n == 98) {
            QVERIFY(p.item().offered(2));
            QVERIFY(!p.item().offered(3));
        }
        if (n == 99) {
            QVERIFY(p.item().offered(4));
        }
    }
    QCOMPARE(p.answerText(), std::string(109, '1'));
}

// F10 shows the item before; a skipped item keeps the choice given before, one never reached
// stores "0".
void PresentationTest::steppingBack() {
    test::TestFolder folder;
    Presentation p = standardTest(folder);
    QVERIFY(!p.goBack());
    QCOMPARE(p.item().ID, 1);
    answerUpTo(p, 4, 1);
    QCOMPARE(p.item().ID, 5);
    QVERIFY(p.goBack());
    QCOMPARE(p.item().ID, 4);
    QVERIFY(p.goBack());
    QVERIFY(p.goBack());
    QCOMPARE(p.item().ID, 2);
    p.choose(0);
    QCOMPARE(p.GetNextQuestion(), NextShown::Item);
    QCOMPARE(p.item().ID, 3);
    QCOMPARE(p.answerText().substr(0, 6), std::string("212200"));
    QVERIFY(p.goBack());
    QVERIFY(p.goBack());
    QCOMPARE(p.item().ID, 1);
    QVERIFY(!p.goBack());
    QCOMPARE(p.item().ID, 1);
}

// Back from item 98 to 97 shows no instructions; answering 97 again ends the part again and
// brings the section 2 instructions back.
void PresentationTest::stepsBackAcrossTheSections() {
    test::TestFolder folder;
    Presentation p = standardTest(folder);
    answerUpTo(p, 97);
    QCOMPARE(p.item().ID, 98);
    QVERIFY(p.goBack());
    QCOMPARE(p.item().ID, 97);
    QCOMPARE(p.choose(1), AfterChoice::EndOfPart);
    QCOMPARE(p.GetNextQuestion(), NextShown::SectionTwoInstructions);
    QCOMPARE(p.item().ID, 98);
    answerUpTo(p, 109, 3);
    QCOMPARE(p.answerText(), std::string(96, '1') + "2" + std::string(12, '4'));
    // After the end of the test, back is the last item, and answering it ends the test again.
    QVERIFY(p.goBack());
    QCOMPARE(p.item().ID, 109);
    QCOMPARE(p.choose(0), AfterChoice::EndOfTest);
    QCOMPARE(p.GetNextQuestion(), NextShown::EndOfTest);
}

QTEST_GUILESS_MAIN(PresentationTest)
#include "PresentationTest.moc"
