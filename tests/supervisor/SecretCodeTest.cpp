#include <QLineEdit>
#include <deque>
#include <memory>

#include "entry/FrmMyInputBox.h"
#include "session/Session.h"
#include "session/SiteCode.h"
#include "supervisor/SecretCode.h"
#include "support/FakeServices.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"

using namespace qlm;
using namespace qlm::test;

namespace {

// A program folder whose settings may hold the site's own code.
struct Site {
    TestFolder folder;
    FileSystem files;
    SiteCode code{files, folder.program() + "/QLMtest.ini"};
    FakeServices fake;
};

QLineEdit* input(QWidget& box) {
    return Child<QLineEdit>(&box, "txtInput");
}

// Answers each box that comes up with the next of `typed` ("" closes its window), then Enter
// twice: into "Information OK" and on it. A box locked for a wait is let go by the clock.
void answerBoxes(std::shared_ptr<std::deque<QString>> typed, bool withCancel, FixedClock& clock) {
    OnModal<FrmMyInputBox>([typed, withCancel, &clock](FrmMyInputBox& box) {
        const QString next = typed->front();
        typed->pop_front();
        if (!typed->empty()) {
            answerBoxes(typed, withCancel, clock);
        }
        // Without its cancel choice, the box's window is the only way out.
        QCOMPARE(Choice(box, 1)->isVisible(), withCancel);
        if (!input(box)->isEnabled()) {
            QCOMPARE(Child<QLabel>(&box, "lblWait")->text(),
                     QString("Too many wrong codes: wait 1 second before the next try."));
            QVERIFY(!Choice(box, 0)->isEnabled());
            clock.now += std::chrono::seconds(1);
            QTRY_VERIFY(input(box)->isEnabled() && Choice(box, 0)->isEnabled());
        }
        if (next.isEmpty()) {
            box.close();
            return;
        }
        Type(next);
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
    });
}

}  // namespace

class SecretCodeTest : public QObject {
    Q_OBJECT

private slots:
    // Empty input is refused; the length is held and the input hidden; Cancel Input cancels.
    void inputBox() {
        FakeServices fake;
        FrmMyInputBox box(fake.services);
        box.SetInputLength(10);
        box.SetPasswordInput(true);
        fake.messages.answer(MsgAnswer::OK);
        RunModal(box, [&] {
            Key(Qt::Key_Return);
            Key(Qt::Key_Return);
            QCOMPARE(Focused(), input(box));
            Type("abcdefghijkl");
            QCOMPARE(input(box)->displayText(), QStringLiteral("**********"));
            Key(Qt::Key_Return);
            Key(Qt::Key_Tab);
            QCOMPARE(Focused(), Choice(box, 1));
            Key(Qt::Key_Return);
        });
        QCOMPARE(fake.messages.shown.at(0).text,
                 std::string("Please enter the required secret code."));
        QVERIFY(box.Cancelled() && !box.PasswordInput());  // the next use starts plain
        QCOMPARE(box.InputValue(), std::string());
    }

    void secretCode_data() {
        QTest::addColumn<QString>("siteCode");  // empty: the default code
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("withCancel");
        QTest::addColumn<bool>("given");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<int>("wrongBefore");  // earlier in the run
        const auto row = [](const char* tag, const char* siteCode, const QStringList& typed,
                            bool withCancel, bool given, int refusals, int wrongBefore = 0) {
            QTest::newRow(tag) << QString(siteCode) << typed << withCancel << given << refusals
                               << wrongBefore;
        };
        row("lower case", "", {"q"}, true, true, 0);
        row("three wrong, then right", "", {"x", "qq", "A", "Q"}, true, true, 3);
        row("window closed", "", {"w", ""}, true, false, 1);
        row("no cancel: window closed", "", {""}, false, false, 0);
        row("no cancel: given", "", {"Q"}, false, true, 0);
        // A site's code is compared exactly, and the default letter no longer opens.
        const char* site = "Sesame-42 of the north gate";
        row("site code: case matters", site, {"sesame-42 of the north gate", "Q", site}, false,
            true, 2);
        // The fourth wrong code of a run locks the next box for a second.
        row("fourth wrong: a wait", "", {"x", "q"}, true, true, 1, 3);
    }

    void secretCode() {
        QFETCH(QString, siteCode);
        QFETCH(QStringList, typed);
        QFETCH(bool, withCancel);
        QFETCH(bool, given);
        QFETCH(int, refusals);
        QFETCH(int, wrongBefore);
        Site site;
        const auto start = site.fake.clock.now;
        for (int i = 0; i < wrongBefore; ++i) {
            site.code.wrongCode(site.fake.clock.now);
        }
        if (!siteCode.isEmpty()) {
            site.code.set(siteCode.toStdString());
        }
        for (int i = 0; i < refusals; ++i) {
            site.fake.messages.answer(MsgAnswer::OK);
        }
        answerBoxes(std::make_shared<std::deque<QString>>(typed.begin(), typed.end()), withCancel,
                    site.fake.clock);
        QCOMPARE(withCancel ? AskSecretCode(site.code, site.fake.services, nullptr)
                            : AskSecretCodeNoCancel(site.code, site.fake.services, nullptr),
                 given);
        QCOMPARE(int(site.fake.messages.shown.size()), refusals);
        // Only a box locked for a wait moves the clock on.
        QCOMPARE(site.fake.clock.now - start, std::chrono::seconds(wrongBefore > 0 ? 1 : 0));
        for (const Message& m : site.fake.messages.shown) {
            QCOMPARE(m.text, std::string("Incorrect Secret Code.  Please try again."));
        }
    }

    void theSiteCodeIsKeptAsAHashInTheInstallationsSettings_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("problem");
        QTest::newRow("too long") << QByteArray(65, 'x') << "at most 64 characters";
        QTest::newRow("not on every keyboard") << QByteArray("caf\xe9-code") << "US keyboard";
        QTest::newRow("a good code") << QByteArray("Sesame 42!") << "";
    }

    // Only a salted hash is stored, and a user's own settings cannot replace it.
    void theSiteCodeIsKeptAsAHashInTheInstallationsSettings() {
        QFETCH(QByteArray, code);
        QFETCH(QString, problem);
        const std::string typed = code.toStdString();
        QVERIFY(QString::fromStdString(SiteCode::Problem(typed)).contains(problem));
        if (!problem.isEmpty()) {
            return;
        }
        Site site;
        site.code.set(typed);
        const std::string settings = TestFolder::read(site.code.settingsFile());
        QVERIFY2(settings.starts_with("[Security]\nSecretCodeHash=$argon2id$"), settings.c_str());

        const std::string user = site.folder.root() + "/user";
        QVERIFY(QDir().mkpath(QString::fromStdString(user)));
        TestFolder::write(user + "/QLMtest.ini", "[Security]\nSecretCodeHash=\n");
        const std::string program = site.folder.program();
        const Session session(site.files, program,
                              {program, user, {program}, user, "", "", program, user});
        QVERIFY(session.Code.matches(typed) && !session.Code.matches("Q"));
    }

    void guessingWaits_data() {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("seconds");
        for (const auto& [wrong, seconds] :
             {std::pair{3, 0}, {4, 1}, {5, 2}, {6, 4}, {8, 16}, {9, 30}, {40, 30}}) {
            QTest::addRow("%d wrong", wrong) << wrong << seconds;
        }
    }

    void guessingWaits() {
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
};

QTEST_MAIN(SecretCodeTest)
#include "SecretCodeTest.moc"
