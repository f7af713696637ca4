#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "support/EntryProgram.h"
#include "support/RunModal.h"
#include "testing/FrmPresentQA.h"
#include "testing/QuestionBank.h"
#include "testing/TestBank.h"

using namespace qlm;
using namespace qlm::test;

namespace {

// Whether the client file refuses writes; read by the file layer from the first load on.
bool DiskFails = false;

// One client on disk, a new one being tested, a bank of both languages, and the English sounds
// of the instructions, items 1 and 98 and True.
struct Program : EntryProgram {
    std::vector<bool> codes;  // the secret code's answers in turn; given once they run out
    int codeAsked = 0;

    Program()
        : EntryProgram(RecordBytes("EXAMPLE, ALEX"), [](FileOp op, const std::string& path) {
              return DiskFails && op == FileOp::Write && path.find("DATA401") != std::string::npos
                         ? EIO
                         : 0;
          }) {
        DiskFails = false;
        newClient();
        session.QuestionBankPath = folder.program() + "/QLMtest.db";
        WriteBank(session.QuestionBankPath,
                  {{"English", StandardRows()}, {"Spanish", StandardRows()}});
        session.SoundPath = folder.root() + "/snd";
        std::filesystem::create_directories(sound(""));
        for (const char* name :
             {"Inst0.wav", "Inst1.wav", "Inst2.wav", "q1.wav", "q98.wav", "True.wav"}) {
            TestFolder::write(sound(name), Wave());
        }
    }
    std::string sound(const std::string& name) const {
        return session.SoundPath + "/QLMTest/sound/English/" + name;
    }
    std::function<bool()> secretCode() {
        return [this] {
            const auto n = static_cast<std::size_t>(codeAsked++);
            return n >= codes.size() || codes[n];
        };
    }
    std::unique_ptr<FrmPresentQA> screen(const std::string& language = "English") {
        return std::make_unique<FrmPresentQA>(
            session, fake.services, language,
            QuestionBank(session.QuestionBankPath).openTable(language), secretCode());
    }
    std::string journal() const { return JournalFileName(folder.data()); }
    std::string answersOnDisk() const {
        return TestFolder::read(folder.clientFile()).substr(185 + 74, 109);
    }
};

QString question(QWidget& screen) {
    return Child<QPlainTextEdit>(&screen, "txtQuestion")->toPlainText();
}

void passInstructions() {
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
}

// Items `first` to `last` answered with choice `i` by keys, the boxes on the way answered.
void answer(Program& program, int i, int first, int last) {
    for (int n = first; n <= last; ++n) {
        for (int k = 0; k <= i; ++k) {
            Key(Qt::Key_Down);
        }
        if (n == 97 || n == 109) {
            program.fake.messages.answer(MsgAnswer::OK);
        }
        Key(Qt::Key_Return);
        if (n == 97) {
            Key(Qt::Key_Return);
        }
    }
}

}  // namespace

class PresentQAScreenTest : public QObject {
    Q_OBJECT

private slots:
    // Only Enter and Tab leave the instructions, where F10 does nothing; the arrows go round
    // the visible choices and the question, each spoken as it takes the focus. F10 with any
    // modifiers but Shift+Alt goes back to the answer given before, and beeps on item 1;
    // Shift+Alt+F10 drops the new client and its journal without asking for the code.
    void keysFocusAndSounds() {
        Program program;
        auto screen = program.screen();
        screen->keepJournal(program.journal());
        const int result = RunModal(*screen, [&] {
            Key(Qt::Key_A);
            Key(Qt::Key_F10);
            QCOMPARE(FocusName(), QStringLiteral("txtInstructions"));
            Key(Qt::Key_Return);
            Key(Qt::Key_Tab);
            QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
            QVERIFY(!Child(screen.get(), "cmdMenuChoice_2")->isVisible());
            Key(Qt::Key_Down);
            QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_0"));
            QVERIFY(Child<QLineEdit>(screen.get(), "txtButtonText_0")->font().bold());
            Key(Qt::Key_Down);
            Key(Qt::Key_Down);
            QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
            Key(Qt::Key_Down);
            Key(Qt::Key_Up);
            QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
            Key(Qt::Key_F10);
            QCOMPARE(program.fake.messages.beeps, 1);
            answer(program, 1, 1, 3);
            for (const auto modifiers :
                 {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
                Key(Qt::Key_F10, modifiers);
                QCOMPARE(question(*screen), QStringLiteral("3. Statement 3"));
                QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_1"));
                Key(Qt::Key_Return);
            }
            QVERIFY(std::filesystem::exists(program.journal()));
            program.fake.messages.answer(MsgAnswer::No);
            screen->reject();  // the window's close button: the code given, No keeps the test
            QVERIFY(screen->isVisible());
            Key(Qt::Key_F10, Qt::ShiftModifier | Qt::AltModifier);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(program.session.CurrentClient, 1);
        QCOMPARE(program.session.Clients.NumberOfClients(), 1);
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
        QCOMPARE(program.codeAsked, 1);
        QVERIFY(!std::filesystem::exists(program.journal()));
        QCOMPARE(screen->presentation().answerText().substr(0, 4), std::string("2220"));
        std::vector<std::string> played;
        for (const char* name : {"Inst0", "Inst1", "q1", "True", "q1", "True", "q1"}) {
            played.push_back(program.sound(std::string(name) + ".wav"));
        }
        QCOMPARE(
            std::vector(program.fake.audio.played.begin(), program.fake.audio.played.begin() + 7),
            played);
    }

    void theEndOfTheTest_data() {
        QTest::addColumn<bool>("diskFails");
        QTest::addColumn<std::vector<bool>>("codes");
        QTest::addColumn<int>("codeAsked");
        QTest::addColumn<int>("result");
        QTest::newRow("saved, code given") << false << std::vector<bool>{} << 1 << 1;
        // Held and said not saved; Enter saves them once the disk takes them.
        QTest::newRow("the disk refuses, then takes them") << true << std::vector<bool>{} << 1 << 1;
        // The screen stays; the last item answered again ends the test again, the window's
        // close button asks for the code too, and the saved client stays saved.
        QTest::newRow("a wrong code keeps the screen")
            << false << std::vector<bool>{false, false} << 3 << 0;
    }
    void theEndOfTheTest() {
        QFETCH(bool, diskFails);
        QFETCH(std::vector<bool>, codes);
        QFETCH(int, codeAsked);
        QFETCH(int, result);
        Program program;
        program.codes = codes;
        DiskFails = diskFails;
        if (diskFails) {
            program.fake.messages.answer(MsgAnswer::OK);
        }
        auto screen = program.screen();
        if (codes.empty()) {  // and the save goes on without one
            screen->keepJournal(program.journal());
        }
        QCOMPARE(RunModal(*screen,
                          [&] {
                              passInstructions();
                              answer(program, 1, 1, 109);
                              if (diskFails) {
                                  QVERIFY(!screen->answersSaved());
                                  QCOMPARE(program.fake.messages.shown.back().title,
                                           std::string("Data Disk Error"));
                                  QCOMPARE(program.codeAsked, 0);
                                  DiskFails = false;
                                  Key(Qt::Key_Return);
                              } else if (!codes.empty()) {
                                  QVERIFY(screen->isVisible());
                                  Key(Qt::Key_F10);
                                  QCOMPARE(question(*screen), QStringLiteral("109. Statement 109"));
                                  program.fake.messages.answer(MsgAnswer::OK);
                                  Key(Qt::Key_Return);
                                  screen->reject();
                              }
                          }),
                 result);
        QCOMPARE(program.codeAsked, codeAsked);
        QCOMPARE(program.answersOnDisk(), std::string(109, '2'));
        QCOMPARE(program.session.Clients.NumberOfClients(), 2);
        QVERIFY(!std::filesystem::exists(program.journal()));
        QVERIFY(program.fake.messages.shown[1].text.starts_with("You have completed the test."));
        // The section 2 instructions are spoken once, on reaching item 98, before its question.
        const auto& played = program.fake.audio.played;
        const auto inst2 = std::find(played.begin(), played.end(), program.sound("Inst2.wav"));
        QCOMPARE(std::count(played.begin(), played.end(), program.sound("Inst2.wav")), 1);
        QCOMPARE(std::find(played.begin(), played.end(), program.sound("q98.wav")), inst2 + 1);
    }

    void aSoundErrorLeavesTheSoundOn_data() {
        QTest::addColumn<std::string>("playerError");
        QTest::addColumn<std::string>("undecodable");
        QTest::addColumn<std::vector<std::string>>("errors");
        QTest::addColumn<int>("played");
        QTest::newRow("the player fails")
            << std::string("70:Permission denied") << std::string()
            << std::vector<std::string>(4, "Error 70:Permission denied") << 4;
        QTest::newRow("a file that opens but is no wave")
            << std::string() << std::string("Inst1.wav")
            << std::vector<std::string>{"Error 321:Invalid file format"} << 3;
    }
    // Each sound that cannot be played is said, and the next one is played as usual:
    // instructions, section 1, item 1 and its first choice.
    void aSoundErrorLeavesTheSoundOn() {
        QFETCH(std::string, playerError);
        QFETCH(std::string, undecodable);
        QFETCH(std::vector<std::string>, errors);
        QFETCH(int, played);
        Program program;
        program.fake.audio.failWith = playerError;
        if (!undecodable.empty()) {
            TestFolder::write(program.sound(undecodable), "RIFF");
        }
        std::vector<Message> said;
        for (const std::string& error : errors) {
            program.fake.messages.answer(MsgAnswer::OK);
            said.push_back({error, "Sound Error", MsgIcon::Critical, MsgButtons::OK});
        }
        auto screen = program.screen();
        RunModal(*screen, [&] {
            passInstructions();
            Key(Qt::Key_Down);
        });
        QCOMPARE(program.fake.audio.played.size(), std::size_t(played));
        QCOMPARE(program.fake.messages.shown, said);
    }

    void largePrint_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("large");
        QTest::newRow("normal") << QString() << Qt::Key_unknown << false;
        QTest::newRow("setting") << QStringLiteral("LargePrint=1") << Qt::Key_unknown << true;
        QTest::newRow("Ctrl+plus") << QString() << Qt::Key_Plus << true;
        QTest::newRow("Ctrl+minus after the setting")
            << QStringLiteral("LargePrint=1") << Qt::Key_Minus << false;
    }
    // Large print fills the screen with text twice the size; the highlight panel still
    // surrounds the whole answer, and no answer is cut off.
    void largePrint() {
        QFETCH(QString, setting);
        QFETCH(Qt::Key, key);
        QFETCH(bool, large);
        Program program;
        TestFolder::write(program.folder.program() + "/QLMtest.ini",
                          "[Options]\r\n" + setting.toStdString() + "\r\n");
        auto screen = program.screen("Spanish");
        const qreal normal = QApplication::font().pointSizeF();
        RunModal(*screen, [&] {
            passInstructions();
            answer(program, 0, 1, 97);
            if (key != Qt::Key_unknown) {
                Key(key, Qt::ControlModifier);
            }
            Key(Qt::Key_Down);
            QCoreApplication::processEvents();
            QCOMPARE(screen->isMaximized(), large);
            QCOMPARE(screen->largePrint(), large);
            const qreal size = Child(screen.get(), "txtButtonText_1")->font().pointSizeF();
            QVERIFY(large ? size >= 2 * normal : size == normal);
            for (int i = 0; i < 4; ++i) {
                const auto* panel = screen->findChild<QWidget*>(QString("sspMenuChoice_%1").arg(i));
                const auto* text =
                    screen->findChild<QLineEdit*>(QString("txtButtonText_%1").arg(i));
                const QRect row(panel->mapTo(screen.get(), QPoint()), panel->size());
                QVERIFY(row.contains(QRect(text->mapTo(screen.get(), QPoint()), text->size())));
                QVERIFY(text->fontMetrics().horizontalAdvance(text->text()) <
                        text->contentsRect().width());
            }
        });
    }

    // A journal that cannot be used is said and set aside, nothing taken from it.
    void aJournalThatCannotBeUsedIsSetAside() {
        Program program;
        const std::string path = program.journal();
        TestFolder::write(path, "[Test]\nrecord=2\n");
        program.fake.messages.answer(MsgAnswer::OK);
        OfferToResumeTest(program.session, program.fake.services, program.secretCode(), nullptr);
        QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
        QVERIFY(program.fake.messages.shown[0].text.ends_with(
            ".\r\n\r\nNothing was taken from it. It is kept as " + path + ".damaged."));
        QVERIFY(!std::filesystem::exists(path));
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    }
};

QTEST_MAIN(PresentQAScreenTest)
#include "PresentQAScreenTest.moc"
