#include <QPlainTextEdit>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "support/EntryProgram.h"
#include "support/Rows.h"
#include "support/RunModal.h"
#include "testing/EntrySequence.h"
#include "testing/FrmPresentQA.h"
#include "testing/FrmSelectEntryMethod.h"
#include "testing/FrmSelectLanguage.h"
#include "testing/QuestionBank.h"
#include "testing/SoundFiles.h"
#include "testing/TestBank.h"

using namespace qlm;
using namespace qlm::test;

namespace {
// clang-format off

// Stand-in screens log their names; 'T' in the script completes one, a `missing` one is empty.
struct Screens {
    std::string script, missing, trace; int languages; std::size_t shown = 0;

    std::function<bool()> step(const char* name) {
        if (missing == name) return nullptr;
        return [this, name] {
            trace += std::string(trace.empty() ? "" : " ") + name;
            return shown < script.size() && script[shown++] == 'T';
        };
    }
    OnscreenTestSteps onscreen() {
        OnscreenTestSteps steps{step("info"), step("court"), {}, {}, {}};
        steps.languageCount = [this] { trace += " count"; return languages; };
        steps.selectLanguage = [this] { return step("language")() ? std::optional<std::string>("Spanish") : std::nullopt; };
        if (missing != "present") steps.presentTest = [this](const std::string& language) { trace += " present(" + language + ")"; };
        return steps;
    }
};

// `languages` -1 runs the paper sheet's chain; a missing last screen stops the chain.
struct ChainRow { const char* name; int languages; std::string script, missing, trace; };
const ChainRow ChainRows[] = {
    {"paper, answers not saved", -1, "TTF", "", "info court grid"},
    {"paper, no answer grid", -1, "TT", "grid", "info court"},
    {"no test screen", 1, "TT", "present", "info court"},
    {"two languages, presentation cancelled", 2, "TTF", "", "info court count language"},
    {"one language", 1, "TT", "", "info court count present(English)"},
    {"court history cancelled", 2, "TF", "", "info court"},
};

// Down passes over the hidden scanner; a method without its chain cannot take the focus.
struct MethodRow { const char* name; bool onscreen; QList<Qt::Key> keys; QString ran; int result; };
const MethodRow MethodRows[] = {
    {"on screen", true, {Qt::Key_Return}, "on screen", 1},
    {"paper sheet", true, {Qt::Key_Down, Qt::Key_Return}, "paper, the screen still up", 1},
    {"cancel", true, {Qt::Key_Down, Qt::Key_Down, Qt::Key_P, Qt::Key_Return}, "", 0},
    {"no on-screen chain", false, {Qt::Key_Return}, "paper, the screen still up", 1},
};

// One choice per language table, in the bank's order; Cancel drops the new client.
struct LanguageRow { const char* name; std::vector<std::string> tables, sounds; bool device; QString spoken; int pick; std::string chosen; };
const LanguageRow LanguageRows[] = {
    {"in the bank's order", {"Spanish", "English"}, {"English"}, true, "Spoken prompts in Spanish are off because no sound files were found.\nSpoken prompts in English are on.", 1, "English"},
    {"no sound device", {"English", "Spanish"}, {"English"}, false, "Spoken prompts are off because no sound device was found.", 0, "English"},
    {"none, cancelled", {"Notes"}, {}, true, "", 3, ""},
};

// Whether the client file refuses writes; read by the file layer from the first load on.
bool DiskFails = false;

// One client on disk, a new one being tested, a bank and a few English sounds.
struct Program : EntryProgram {
    std::vector<bool> codes;  // the secret code's answers in turn; given once they run out
    int codeAsked = 0;

    Program() : EntryProgram(RecordBytes("EXAMPLE, ALEX"), [](FileOp op, const std::string& path) {
        return DiskFails && op == FileOp::Write && path.find("DATA401") != std::string::npos ? EIO : 0;
    }) {
        DiskFails = false;
        newClient();
        session.QuestionBankPath = folder.program() + "/QLMtest.db";
        WriteBank(session.QuestionBankPath, {{"English", StandardRows()}, {"Spanish", StandardRows()}});
        session.SoundPath = folder.root() + "/snd";
        std::filesystem::create_directories(sound(""));
        for (const char* name : {"Inst0", "Inst1", "Inst2", "q1", "q98", "True"}) TestFolder::write(sound(name), Wave());
    }
    std::string sound(const std::string& name) const { return session.SoundPath + "/QLMTest/sound/English/" + name + (name.empty() ? "" : ".wav"); }
    std::unique_ptr<FrmPresentQA> screen() {
        auto code = [this] { const auto n = static_cast<std::size_t>(codeAsked++); return n >= codes.size() || codes[n]; };
        return std::make_unique<FrmPresentQA>(session, fake.services, "English", QuestionBank(session.QuestionBankPath).openTable("English"), code);
    }
    std::string journal() const { return JournalFileName(folder.data()); }
};

QString question(QWidget& screen) {
    return Child<QPlainTextEdit>(&screen, "txtQuestion")->toPlainText();
}

// Past the instructions, then items `first` to `last` answered with choice `i`.
void answer(Program& program, int i, int first, int last) {
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    for (int n = first; n <= last; ++n) {
        for (int k = 0; k <= i; ++k) Key(Qt::Key_Down);
        if (n == 97 || n == 109) program.fake.messages.answer(MsgAnswer::OK);
        Key(Qt::Key_Return);
        if (n == 97) Key(Qt::Key_Return);
    }
}

struct EndRow { const char* name; bool diskFails; std::vector<bool> codes; int codeAsked, result; };
const EndRow EndRows[] = {
    {"the disk refuses, then takes them", true, {}, 1, 1},
    {"a wrong code keeps the screen", false, {false, false}, 2, StillOpen},
};

// `errors` said at item 1 (1: a file that is no wave); `large` -1: sounds counted, else at 98.
struct OptionRow { const char* name; const char* setting; Qt::Key key; std::string playerError; int errors, large; };
const OptionRow OptionRows[] = {
    {"the player fails", "", Qt::Key_unknown, "70:Permission denied", 4, -1},
    {"a file that is no wave", "", Qt::Key_unknown, "", 1, -1},
    {"large print set", "LargePrint=1", Qt::Key_unknown, "", 0, 1},
    {"Ctrl+plus", "", Qt::Key_Plus, "", 0, 1},
    {"Ctrl+minus", "LargePrint=1", Qt::Key_Minus, "", 0, 0},
};

// clang-format on
}  // namespace

class TestScreensTest : public QObject {
    Q_OBJECT

private slots:
    void chains_data() { addRows(ChainRows); }
    void chains() {
        const ChainRow& r = currentRow(ChainRows);
        Screens screens{r.script, r.missing, "", r.languages};
        if (r.languages >= 0) {
            RunOnscreenTestSequence(screens.onscreen());
        } else if (RunDataEntrySequence(
                       {screens.step("info"), screens.step("court"), screens.step("grid")})) {
            screens.trace += " done";
        }
        QCOMPARE(screens.trace, r.trace);
    }

    void entryMethodChoices_data() { addRows(MethodRows); }
    void entryMethodChoices() {
        const MethodRow& r = currentRow(MethodRows);
        EntryProgram program(RecordBytes("EXAMPLE, ALEX"));
        QString chain;
        EntryMethodSequences sequences;
        if (r.onscreen) {
            sequences.onscreenTest = [&] { chain = "on screen"; };
        }
        sequences.paperSheet = [&] {
            chain = QApplication::activeModalWidget()->objectName() == "frmSelectEntryMethod"
                        ? "paper, the screen still up"
                        : "paper";
        };
        FrmSelectEntryMethod screen(program.session, program.fake.services, sequences);
        const int result = RunModal(screen, [&] {
            for (const Qt::Key key : r.keys) {
                Key(key);
            }
        });
        QCOMPARE(result, r.result);
        QCOMPARE(chain, r.ran);
    }

    void languageChoices_data() { addRows(LanguageRows); }
    void languageChoices() {
        const LanguageRow& r = currentRow(LanguageRows);
        EntryProgram program(RecordBytes("EXAMPLE, ALEX"));
        program.newClient();
        program.session.QuestionBankPath = program.folder.program() + "/QLMtest.db";
        std::vector<BankTable> bank;
        for (const std::string& table : r.tables) {
            bank.emplace_back(table, StandardRows(1));
        }
        WriteBank(program.session.QuestionBankPath, bank);
        program.session.SoundPath = program.folder.root();
        for (const std::string& language : r.sounds) {
            const std::string folder = SoundFolder(program.session.SoundPath, language);
            std::filesystem::create_directories(folder);
            TestFolder::write(folder + "Inst0.wav", Wave());
        }
        program.fake.audio.heard = r.device;
        FrmSelectLanguage screen(program.session, program.fake.services);
        const int count = screen.LanguageCount();
        QCOMPARE(Child<QLabel>(&screen, "lblSpokenPrompts")->text(), r.spoken);
        OnModal<FrmSelectLanguage>([&](FrmSelectLanguage&) {
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(Choice(screen, i)->isVisible(), i < count);
            }
            QTest::keyClick(Choice(screen, r.pick), Qt::Key_Return);
        });
        QCOMPARE(screen.chooseLanguage().value_or(""), r.chosen);
        QCOMPARE(program.session.Clients.entry(2).Name.starts_with("NEWCOMER"), !r.chosen.empty());
    }

    // F10 with any modifiers but Shift+Alt steps back (a beep on item 1); Shift+Alt+F10 drops
    // the new client and its journal without the code.
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
            Key(Qt::Key_Down);
            QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_0"));
            Key(Qt::Key_Down);
            Key(Qt::Key_Down);
            QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
            Key(Qt::Key_Down);
            Key(Qt::Key_Up);
            QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
            Key(Qt::Key_F10);
            QCOMPARE(program.fake.messages.beeps, 1);
            for (int n = 1; n <= 3; ++n) {
                Key(Qt::Key_Down);
                Key(Qt::Key_Down);
                Key(Qt::Key_Return);
            }
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
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
        QCOMPARE(program.codeAsked, 1);
        QVERIFY(!std::filesystem::exists(program.journal()));
        QCOMPARE(screen->presentation().answerText().substr(0, 4), std::string("2220"));
        const auto& played = program.fake.audio.played;
        const char* const heard[] = {"Inst0", "Inst1", "q1", "True", "q1", "True", "q1"};
        for (std::size_t i = 0; i < std::size(heard); ++i) {
            QCOMPARE(played.at(i), program.sound(heard[i]));
        }
    }

    // A refused save is retried on Enter; a wrong code keeps the screen and asks again.
    void theEndOfTheTest_data() { addRows(EndRows); }
    void theEndOfTheTest() {
        const EndRow& r = currentRow(EndRows);
        Program program;
        program.codes = r.codes;
        DiskFails = r.diskFails;
        if (r.diskFails) {
            program.fake.messages.answer(MsgAnswer::OK);
        }
        auto screen = program.screen();
        if (r.codes.empty()) {  // and the save goes on without one
            screen->keepJournal(program.journal());
        }
        QCOMPARE(RunModal(*screen,
                          [&] {
                              answer(program, 1, 1, 109);
                              if (r.diskFails) {
                                  QVERIFY(!screen->answersSaved());
                                  QCOMPARE(program.codeAsked, 0);
                                  DiskFails = false;
                                  Key(Qt::Key_Return);
                              } else if (!r.codes.empty()) {
                                  screen->reject();
                              }
                          }),
                 r.result);
        QCOMPARE(program.codeAsked, r.codeAsked);
        QCOMPARE(TestFolder::read(program.folder.clientFile()).substr(185 + 74, 109),
                 std::string(109, '2'));
        QCOMPARE(program.session.Clients.NumberOfClients(), 2);
        QVERIFY(!std::filesystem::exists(program.journal()));
        // The section 2 instructions are spoken once, on reaching item 98, before its question.
        const auto& played = program.fake.audio.played;
        const auto inst2 = std::find(played.begin(), played.end(), program.sound("Inst2"));
        QCOMPARE(std::count(played.begin(), played.end(), program.sound("Inst2")), 1);
        QCOMPARE(std::find(played.begin(), played.end(), program.sound("q98")), inst2 + 1);
    }

    // A sound that cannot be played is said and the next played; large print doubles the text.
    void options_data() { addRows(OptionRows); }
    void options() {
        const OptionRow& r = currentRow(OptionRows);
        Program program;
        TestFolder::write(program.folder.program() + "/QLMtest.ini",
                          std::string("[Options]\r\n") + r.setting + "\r\n");
        program.fake.audio.failWith = r.playerError;
        if (r.errors == 1) {
            TestFolder::write(program.sound("Inst1"), "RIFF");
        }
        std::vector<Message> said;
        for (int i = 0; i < r.errors; ++i) {
            program.fake.messages.answer(MsgAnswer::OK);
            said.push_back({"Error " + (r.errors == 1 ? "321:Invalid file format" : r.playerError),
                            "Sound Error", MsgIcon::Critical, MsgButtons::OK});
        }
        auto screen = program.screen();
        const qreal normal = QApplication::font().pointSizeF();
        RunModal(*screen, [&] {
            answer(program, 0, 1, r.large < 0 ? 0 : 97);
            if (r.key != Qt::Key_unknown) {
                Key(r.key, Qt::ControlModifier);
            }
            Key(Qt::Key_Down);
            QCoreApplication::processEvents();
            QCOMPARE(screen->isMaximized(), r.large == 1);
            const qreal size = Child(screen.get(), "txtButtonText_1")->font().pointSizeF();
            QVERIFY(r.large == 1 ? size >= 2 * normal : size == normal);
        });
        if (r.large < 0) {
            QCOMPARE(program.fake.audio.played.size(), std::size_t(r.errors == 1 ? 3 : 4));
            QCOMPARE(program.fake.messages.shown, said);
        }
    }

    // A journal that cannot be used is said and set aside, nothing taken from it.
    void aJournalThatCannotBeUsedIsSetAside() {
        Program program;
        const std::string path = program.journal();
        TestFolder::write(path, "[Test]\nrecord=2\n");
        program.fake.messages.answer(MsgAnswer::OK);
        OfferToResumeTest(
            program.session, program.fake.services, [] { return true; }, nullptr);
        QVERIFY(program.fake.messages.shown.at(0).text.ends_with(" It is kept as " + path +
                                                                 ".damaged."));
        QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    }
};

QTEST_MAIN(TestScreensTest)
#include "TestScreensTest.moc"
