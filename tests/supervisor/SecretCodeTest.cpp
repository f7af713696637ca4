#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <deque>

#include "entry/FrmMyInputBox.h"
#include "supervisor/SecretCode.h"
#include "support/FakeServices.h"
#include "support/RunModal.h"

using namespace qlm;
using qlm::test::Choice;
using qlm::test::RunModal;

namespace {

QLineEdit* input(QWidget& box) {
    return box.findChild<QLineEdit*>(QStringLiteral("txtInput"));
}
bool CancelExpected = true;

// Answers each input box that comes up with the next of `typed` ("" closes its window), then
// Enter twice: into "Information OK" and on it.
void answerBoxes(std::deque<QString> typed, int triesLeft = 300) {
    QTimer::singleShot(10, [typed = std::move(typed), triesLeft]() mutable {
        auto* box = qobject_cast<FrmMyInputBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isActiveWindow()) {
            if (triesLeft > 0) {
                answerBoxes(std::move(typed), triesLeft - 1);
            }
            return;
        }
        const QString next = typed.front();
        typed.pop_front();
        if (!typed.empty()) {
            answerBoxes(typed);
        }
        // Without its cancel choice, the box's window is the only way out.
        QCOMPARE(Choice(*box, 1)->isVisible(), CancelExpected);
        if (next.isEmpty()) {
            box->close();
            return;
        }
        QTest::keyClicks(input(*box), next);
        QTest::keyClick(input(*box), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
}

}  // namespace

class SecretCodeTest : public QObject {
    Q_OBJECT

private slots:
    void inputBox();
    void secretCode_data();
    void secretCode();
};

void SecretCodeTest::inputBox() {
    test::FakeServices fake;
    FrmMyInputBox box(fake.services);
    box.SetInputLength(10);
    box.SetHelpMessage("Type it.");
    box.SetPasswordInput(true);
    fake.messages.answer(MsgAnswer::OK);
    RunModal(box, [&] {
        QCOMPARE(box.windowTitle(), QStringLiteral("MyInputBox"));
        QCOMPARE(box.findChild<QLabel*>(QStringLiteral("lblHelpMsg"))->text(),
                 QStringLiteral("Type it."));
        QCOMPARE(input(box)->echoMode(), QLineEdit::Password);
        QTest::keyClick(input(box), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), Choice(box, 0));
        QTest::keyClick(Choice(box, 0), Qt::Key_Return);
        QVERIFY(box.isVisible());
        QCOMPARE(QApplication::focusWidget(), input(box));
        QTest::keyClicks(input(box), "abcdefghijkl");
        QCOMPARE(input(box)->text(), QStringLiteral("abcdefghij"));
        QCOMPARE(input(box)->displayText(), QStringLiteral("**********"));
        QTest::keyClick(input(box), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(Choice(box, 1), Qt::Key_Return);
    });
    QCOMPARE(fake.messages.shown.size(), std::size_t(1));
    QCOMPARE(fake.messages.shown[0],
             (Message{"Please enter the required secret code.", "Input required", MsgIcon::Question,
                      MsgButtons::OK}));
    QVERIFY(box.Cancelled());
    QVERIFY(!box.PasswordInput());

    // The next use starts afresh: not cancelled, and the input in plain sight.
    RunModal(box, [&] {
        QCOMPARE(input(box)->echoMode(), QLineEdit::Normal);
        QTest::keyClicks(input(box), "plain");
        QTest::keyClick(input(box), Qt::Key_Return);
        QTest::keyClick(Choice(box, 0), Qt::Key_Return);
    });
    QVERIFY(!box.Cancelled());
    QCOMPARE(box.InputValue(), std::string("plain"));
}

void SecretCodeTest::secretCode_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("withCancel");
    QTest::addColumn<bool>("given");
    QTest::addColumn<int>("refusals");
    QTest::newRow("lower case") << QStringList{"q"} << true << true << 0;
    QTest::newRow("three wrong, then right")
        << QStringList{"x", "qq", "A", "Q"} << true << true << 3;
    QTest::newRow("window closed") << QStringList{"w", ""} << true << false << 1;
    QTest::newRow("no cancel: window closed") << QStringList{""} << false << false << 0;
    QTest::newRow("no cancel: given") << QStringList{"Q"} << false << true << 0;
}

void SecretCodeTest::secretCode() {
    QFETCH(QStringList, typed);
    QFETCH(bool, withCancel);
    QFETCH(bool, given);
    QFETCH(int, refusals);
    test::FakeServices fake;
    CancelExpected = withCancel;
    for (int i = 0; i < refusals; ++i) {
        fake.messages.answer(MsgAnswer::OK);
    }
    answerBoxes(std::deque<QString>(typed.begin(), typed.end()));
    const bool result = withCancel ? AskSecretCode(fake.services, nullptr)
                                   : AskSecretCodeNoCancel(fake.services, nullptr);
    QCOMPARE(result, given);
    QCOMPARE(int(fake.messages.shown.size()), refusals);
    for (const Message& m : fake.messages.shown) {
        QCOMPARE(m, (Message{"Incorrect Secret Code.  Please try again.", "Secret Code",
                             MsgIcon::Critical, MsgButtons::OK}));
    }
}

QTEST_MAIN(SecretCodeTest)
#include "SecretCodeTest.moc"
