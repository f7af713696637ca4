#include <QLineEdit>
#include <deque>
#include <memory>

#include "entry/FrmMyInputBox.h"
#include "session/Session.h"
#include "session/SiteCode.h"
#include "supervisor/SecretCode.h"
#include "support/FakeServices.h"
#include "support/Rows.h"
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

// The site's own code (empty: the default), the codes typed ("" closes the box's window),
// whether the box has its cancel choice, whether the code is given, and the wrong codes earlier
// in the run.
struct CodeRow {
    const char* tag;
    const char* siteCode;
    QStringList typed;
    bool withCancel;
    bool given;
    int wrongBefore;
};
const char* const site = "Sesame-42 north";
const CodeRow codeRows[] = {
    {"no cancel: lower case", "", {"q"}, false, true, 0},
    {"three wrong, then right", "", {"x", "qq", "A", "Q"}, true, true, 0},
    {"window closed", "", {"w", ""}, true, false, 0},
    // A site's code is compared exactly, and the default letter no longer opens.
    {"site code: case matters", site, {"sesame-42 north", "Q", site}, false, true, 0},
    // The fourth wrong code of a run locks the next box for a second.
    {"fourth wrong: a wait", "", {"x", "q"}, true, true, 3},
};

// A code to set as the site's, and what is wrong with it.
struct HashRow {
    const char* tag;
    std::string code;
    const char* problem;
};
const HashRow hashRows[] = {
    {"too long", std::string(65, 'x'), "at most 64 characters"},
    {"not on every keyboard", "caf\xe9-code", "US keyboard"},
    {"a good code", "Sesame 42!", ""},
};

}  // namespace

class SecretCodeTest : public QObject {
    Q_OBJECT

private slots:
    // Empty input is refused; the length is held and the input hidden; Cancel Input cancels,
    // and the next use starts plain.
    void inputBox() {
        FakeServices fake;
        FrmMyInputBox box(fake.services);
        box.SetInputLength(10);
        box.SetPasswordInput(true);
        fake.messages.answer(MsgAnswer::OK);
        RunModal(box, [&] {
            Key(Qt::Key_Return);
            Key(Qt::Key_Return);
            Type("abcdefghijkl");
            QCOMPARE(input(box)->displayText(), QStringLiteral("**********"));
            Key(Qt::Key_Return);
            Key(Qt::Key_Tab);
            Key(Qt::Key_Return);
        });
        QCOMPARE(fake.messages.shown.at(0).text,
                 std::string("Please enter the required secret code."));
        QVERIFY(box.Cancelled() && !box.PasswordInput());
    }

    void secretCode_data() { AddRows(codeRows); }
    void secretCode() {
        const CodeRow& r = CurrentRow(codeRows);
        Site site;
        const auto start = site.fake.clock.now;
        for (int i = 0; i < r.wrongBefore; ++i) {
            site.code.wrongCode(site.fake.clock.now);
        }
        if (*r.siteCode != 0) {
            site.code.set(r.siteCode);
        }
        const auto refusals = r.typed.size() - r.typed.count("") - (r.given ? 1 : 0);
        for (int i = 0; i < refusals; ++i) {
            site.fake.messages.answer(MsgAnswer::OK);
        }
        answerBoxes(std::make_shared<std::deque<QString>>(r.typed.begin(), r.typed.end()),
                    r.withCancel, site.fake.clock);
        QCOMPARE(r.withCancel ? AskSecretCode(site.code, site.fake.services, nullptr)
                              : AskSecretCodeNoCancel(site.code, site.fake.services, nullptr),
                 r.given);
        QCOMPARE(qsizetype(site.fake.messages.shown.size()), refusals);
        // Only a box locked for a wait moves the clock on.
        QCOMPARE(site.fake.clock.now - start, std::chrono::seconds(r.wrongBefore > 0 ? 1 : 0));
        for (const Message& m : site.fake.messages.shown) {
            QCOMPARE(m.text, std::string("Incorrect Secret Code.  Please try again."));
        }
    }

    void theSiteCodeIsKeptAsAHashInTheInstallationsSettings_data() { AddRows(hashRows); }
    // Only a salted hash is stored, and a user's own settings cannot replace it.
    void theSiteCodeIsKeptAsAHashInTheInstallationsSettings() {
        const HashRow& r = CurrentRow(hashRows);
        QVERIFY(QString::fromStdString(SiteCode::Problem(r.code)).contains(r.problem));
        if (*r.problem != 0) {
            return;
        }
        Site site;
        site.code.set(r.code);
        const std::string settings = TestFolder::read(site.code.settingsFile());
        QVERIFY2(settings.starts_with("[Security]\nSecretCodeHash=$argon2id$"), settings.c_str());
        const std::string user = site.folder.root() + "/user";
        QVERIFY(QDir().mkpath(QString::fromStdString(user)));
        TestFolder::write(user + "/QLMtest.ini", "[Security]\nSecretCodeHash=\n");
        const std::string program = site.folder.program();
        const Session session(site.files, program,
                              {program, user, {program}, user, "", "", program, user});
        QVERIFY(session.Code.matches(r.code) && !session.Code.matches("Q"));
    }

    // The wait after each wrong code doubles from the fourth, up to half a minute.
    void guessingWaits() {
        Site site;
        const auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
        int wrong = 0;
        for (const auto& [upTo, seconds] :
             {std::pair{3, 0}, {4, 1}, {5, 2}, {8, 16}, {9, 30}, {40, 30}}) {
            while (wrong < upTo) {
                site.code.wrongCode(now);
                ++wrong;
            }
            QCOMPARE(site.code.waitLeft(now), std::chrono::seconds(seconds));
            QCOMPARE(site.code.waitLeft(now + std::chrono::seconds(seconds)),
                     std::chrono::seconds(0));
        }
    }
};

QTEST_MAIN(SecretCodeTest)
#include "SecretCodeTest.moc"
