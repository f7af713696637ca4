#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <deque>

#include "entry/FrmMyInputBox.h"
#include "session/Session.h"
#include "session/SiteCode.h"
#include "supervisor/SecretCode.h"
#include "support/FakeServices.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::Choice;
using qlm::test::RunModal;

namespace {

QLineEdit* input(QWidget& box) {
    return box.findChild<QLineEdit*>(QStringLiteral("txtInput"));
}
bool CancelExpected = true;

// A program folder whose settings may hold the site's own code.
struct Site {
    test::TestFolder folder;
    FileSystem files;
    SiteCode code{files, folder.program() + "/QLMtest.ini"};
};

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
    void theSiteCodeIsKeptAsAHashInTheInstallationsSettings_data();
    void theSiteCodeIsKeptAsAHashInTheInstallationsSettings();
    void guessingWaits_data();
    void guessingWaits();
    void theWaitIsCountedDownInTheBox();
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
    QTest::addColumn<QString>("siteCode");  // empty: the default code
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("withCancel");
    QTest::addColumn<bool>("given");
    QTest::addColumn<int>("refusals");
    QTest::newRow("lower case") << "" << QStringList{"q"} << true << true << 0;
    QTest::newRow("three wrong, then right")
        << "" << QStringList{"x", "qq", "A", "Q"} << true << true << 3;
    QTest::newRow("window closed") << "" << QStringList{"w", ""} << true << false << 1;
    QTest::newRow("no cancel: window closed") << "" << QStringList{""} << false << false << 0;
    QTest::newRow("no cancel: given") << "" << QStringList{"Q"} << false << true << 0;
    // A site's code is compared exactly, and the default letter no longer opens.
    QTest::newRow("site code: case matters")
        << "Sesame-42 of the north gate"
        << QStringList{"sesame-42 of the north gate", "Q", "Sesame-42 of the north gate"} << false
        << true << 2;
}

void SecretCodeTest::secretCode() {
    QFETCH(QString, siteCode);
    QFETCH(QStringList, typed);
    QFETCH(bool, withCancel);
    QFETCH(bool, given);
    QFETCH(int, refusals);
    Site site;
    if (!siteCode.isEmpty()) {
        site.code.set(siteCode.toStdString());
    }
    test::FakeServices fake;
    CancelExpected = withCancel;
    for (int i = 0; i < refusals; ++i) {
        fake.messages.answer(MsgAnswer::OK);
    }
    answerBoxes(std::deque<QString>(typed.begin(), typed.end()));
    const bool result = withCancel ? AskSecretCode(site.code, fake.services, nullptr)
                                   : AskSecretCodeNoCancel(site.code, fake.services, nullptr);
    QCOMPARE(result, given);
    QCOMPARE(int(fake.messages.shown.size()), refusals);
    for (const Message& m : fake.messages.shown) {
        QCOMPARE(m, (Message{"Incorrect Secret Code.  Please try again.", "Secret Code",
                             MsgIcon::Critical, MsgButtons::OK}));
    }
}

void SecretCodeTest::theSiteCodeIsKeptAsAHashInTheInstallationsSettings_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("problem");
    QTest::newRow("too short") << QByteArray("Q1w2e") << "at least 6 characters";
    QTest::newRow("too long") << QByteArray(65, 'x') << "at most 64 characters";
    QTest::newRow("not on every keyboard") << QByteArray("caf\xe9-code") << "US keyboard";
    QTest::newRow("a good code") << QByteArray("Sesame 42!") << "";
}

// Only a salted hash is stored, in the installation's settings; a user's own settings cannot
// replace it; clearing it brings the default letter back.
void SecretCodeTest::theSiteCodeIsKeptAsAHashInTheInstallationsSettings() {
    QFETCH(QByteArray, code);
    QFETCH(QString, problem);
    const std::string typed = code.toStdString();
    QVERIFY(QString::fromStdString(SiteCode::Problem(typed)).contains(problem));
    if (!problem.isEmpty()) {
        return;
    }
    Site site;
    site.code.set(typed);
    const std::string settings = test::TestFolder::read(site.code.settingsFile());
    QVERIFY2(settings.starts_with("[Security]\nSecretCodeHash=$argon2id$"), settings.c_str());
    QCOMPARE(settings.find("Sesame"), std::string::npos);
    QVERIFY(site.code.matches(typed) && !site.code.matches("sesame 42!") &&
            !site.code.matches("q"));

    const std::string user = site.folder.root() + "/user";
    QVERIFY(QDir().mkpath(QString::fromStdString(user)));
    test::TestFolder::write(user + "/QLMtest.ini", "[Security]\nSecretCodeHash=\n");
    const Session session(site.files, site.folder.program(),
                          {site.folder.program(),
                           user,
                           {site.folder.program()},
                           user,
                           "",
                           "",
                           site.folder.program(),
                           user});
    QVERIFY(session.Code.matches(typed) && !session.Code.matches("Q"));

    site.code.clear();
    QVERIFY(!site.code.isSet() && site.code.matches("q") && !site.code.matches(typed));
}

void SecretCodeTest::guessingWaits_data() {
    QTest::addColumn<int>("wrong");
    QTest::addColumn<int>("seconds");
    for (const auto& [wrong, seconds] :
         {std::pair{1, 0}, {3, 0}, {4, 1}, {5, 2}, {6, 4}, {7, 8}, {8, 16}, {9, 30}, {40, 30}}) {
        QTest::addRow("%d wrong", wrong) << wrong << seconds;
    }
}

void SecretCodeTest::guessingWaits() {
    QFETCH(int, wrong);
    QFETCH(int, seconds);
    Site site;
    const auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    for (int i = 0; i < wrong; ++i) {
        site.code.wrongCode(now);
    }
    QCOMPARE(site.code.waitLeft(now), std::chrono::seconds(seconds));
    QCOMPARE(site.code.waitLeft(now + std::chrono::seconds(seconds)), std::chrono::seconds(0));
}

// The fourth wrong code of a run locks the next box for a second, counted down on the
// services' clock; then the code opens it as before.
void SecretCodeTest::theWaitIsCountedDownInTheBox() {
    Site site;
    test::FakeServices fake;
    for (int i = 0; i < 3; ++i) {
        site.code.wrongCode(fake.clock.now);
    }
    fake.messages.answer(MsgAnswer::OK);
    test::OnModal<FrmMyInputBox>([&](FrmMyInputBox& first) {
        QVERIFY(input(first)->isEnabled());
        test::OnModal<FrmMyInputBox>([&](FrmMyInputBox& box) {
            auto* wait = box.findChild<QLabel*>(QStringLiteral("lblWait"));
            QCOMPARE(wait->text(),
                     QStringLiteral("Too many wrong codes: wait 1 second before the next try."));
            QVERIFY(!input(box)->isEnabled() && !Choice(box, 0)->isEnabled());
            fake.clock.now += std::chrono::seconds(1);
            QTRY_VERIFY(input(box)->isEnabled());
            QVERIFY(!wait->isVisible() && Choice(box, 0)->isEnabled());
            QTest::keyClicks(input(box), "q");
            QTest::keyClick(input(box), Qt::Key_Return);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QTest::keyClicks(input(first), "x");
        QTest::keyClick(input(first), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QVERIFY(AskSecretCode(site.code, fake.services, nullptr));
    QCOMPARE(fake.messages.shown.size(), std::size_t(1));
}

QTEST_MAIN(SecretCodeTest)
#include "SecretCodeTest.moc"
