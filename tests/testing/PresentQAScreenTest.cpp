#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "support/EntryProgram.h"
#include "support/RunModal.h"
#include "testing/FrmPresentQA.h"
#include "testing/QuestionBank.h"
#include "testing/TestBank.h"

using namespace qlm;
using qlm::test::MsgPanel;
using qlm::test::RunModal;
using qlm::test::StillOpen;
using qlm::test::TestFolder;

namespace {

// A data location of one client, a new client being entered, a bank of both languages, and
// the sounds of the first item and the instructions in English.
// Whether the client file refuses writes; read by the file layer from the first load on.
bool DiskFails = false;

struct Program : test::EntryProgram {
    bool& diskFails = DiskFails;
    int codeAsked = 0;
    std::vector<bool> codeAnswers;

    Program()
        : EntryProgram(test::RecordBytes("EXAMPLE, ALEX"), [](FileOp op, const std::string& path) {
              return DiskFails && op == FileOp::Write && path.find("DATA401") != std::string::npos
                         ? EIO
                         : 0;
          }) {
        DiskFails = false;
        newClient();
        session.QuestionBankPath = folder.program() + "/QLMtest.db";
        test::WriteBank(session.QuestionBankPath,
                        {{"English", test::StandardRows()}, {"Spanish", test::StandardRows()}});
        session.SoundPath = folder.root() + "/snd";
        const std::string sounds = session.SoundPath + "/QLMTest/sound/English/";
        std::filesystem::create_directories(sounds);
        for (const char* name :
             {"Inst0.wav", "Inst1.wav", "Inst2.wav", "q1.wav", "q98.wav", "True.wav"}) {
            TestFolder::write(sounds + name, test::Wave());
        }
    }

    std::function<bool()> secretCode() {
        return [this] {
            const bool given = codeAsked < static_cast<int>(codeAnswers.size())
                                   ? codeAnswers[static_cast<std::size_t>(codeAsked)]
                                   : true;
            ++codeAsked;
            return given;
        };
    }
    QuestionBankRecordset table(const std::string& language) const {
        return QuestionBank(session.QuestionBankPath).openTable(language);
    }
    std::string answersOnDisk(int n) const {
        return TestFolder::read(folder.clientFile())
            .substr(static_cast<std::size_t>(n - 1) * 185 + 74, 109);
    }
};

using test::Focused;
using test::FocusName;
using test::Key;
QString question(QWidget& screen) {
    return screen.findChild<QPlainTextEdit*>(QStringLiteral("txtQuestion"))->toPlainText();
}

// Items `first` to `last` answered with choice `i` (Down to it, Enter), the boxes on the way
// answered.
void answerItems(Program& program, int i, int first, int last) {
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

// Both instruction screens, then the items up to `last`.
void answerTest(Program& program, int i, int last = 109) {
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    answerItems(program, i, 1, last);
}

}  // namespace

class PresentQAScreenTest : public QObject {
    Q_OBJECT

private slots:
    void instructionsItemsAndSounds();
    void theWholeTestIsSaved();
    void spanishTexts();
    void stepsBackWithF10_data();
    void stepsBackWithF10();
    void shiftAltF10DropsTheClient();
    void answersAreKeptUntilTheSaveSucceeds();
    void aWrongCodeKeepsTheScreen();
    void aSoundErrorLeavesTheSoundOn_data();
    void aSoundErrorLeavesTheSoundOn();
    void largePrint_data();
    void largePrint();
    void anInterruptedTestIsTakenUp();
    void aJournalThatCannotBeUsedIsKeptAside();
};

void PresentQAScreenTest::instructionsItemsAndSounds() {
    Program program;
    FrmPresentQA screen(program.session, program.fake.services, "English", program.table("English"),
                        program.secretCode());
    RunModal(screen, [&] {
        QCOMPARE(screen.windowTitle(), QStringLiteral("Question Presentation"));
        QCOMPARE(FocusName(), QStringLiteral("txtInstructions"));
        auto* instructions = screen.findChild<QPlainTextEdit*>(QStringLiteral("txtInstructions"));
        QVERIFY(instructions->toPlainText().startsWith(QStringLiteral("General Instructions")));
        QCOMPARE(MsgPanel(screen), QStringLiteral("When ready press Enter to continue."));
        QCOMPARE(screen.findChild<QLabel*>("lblSpokenPrompts")->text(),
                 QStringLiteral("Spoken prompts are on."));
        Key(Qt::Key_A);
        QCOMPARE(FocusName(), QStringLiteral("txtInstructions"));
        Key(Qt::Key_Return);
        QVERIFY(instructions->toPlainText().startsWith(
            QStringLiteral("The statements in this section must be answered TRUE or FALSE.")));
        Key(Qt::Key_Tab);
        QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
        QCOMPARE(question(screen), QStringLiteral("1. Statement 1"));
        QCOMPARE(MsgPanel(screen),
                 QStringLiteral("Use Up or Down arrow keys to highlight answer, then press Enter. "
                                "Press F10 to go back to previous question."));
        QVERIFY(screen.findChild<QWidget*>("cmdMenuChoice_1")->isVisible());
        QVERIFY(!screen.findChild<QWidget*>("cmdMenuChoice_2")->isVisible());
        QCOMPARE(screen.findChild<QLineEdit*>("txtButtonText_0")->text(), QStringLiteral("True"));
        Key(Qt::Key_Down);
        QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_0"));
        QVERIFY(screen.findChild<QLineEdit*>("txtButtonText_0")->font().bold());
        QCOMPARE(MsgPanel(screen), QStringLiteral("Press Enter to select this answer. Press Tab "
                                                  "or Arrows to hear question again."));
        Key(Qt::Key_Down);
        QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_1"));
        // Past the last choice the question comes back, and with it its sound.
        Key(Qt::Key_Down);
        QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
        Key(Qt::Key_Down);
        Key(Qt::Key_Up);
        QCOMPARE(FocusName(), QStringLiteral("txtQuestion"));
    });
    const std::string folder = program.session.SoundPath + "/QLMTest/sound/English/";
    const std::vector<std::string> played{
        folder + "Inst0.wav", folder + "Inst1.wav", folder + "q1.wav", folder + "True.wav",
        folder + "q1.wav",    folder + "True.wav",  folder + "q1.wav"};
    QCOMPARE(program.fake.audio.played, played);
}

// Every item answered with its second choice by keys: the boxes at the end of each part, the
// answers in the file, the client counted, the secret code asked.
void PresentQAScreenTest::theWholeTestIsSaved() {
    Program program;
    FrmPresentQA screen(program.session, program.fake.services, "English", program.table("English"),
                        program.secretCode());
    const int result = RunModal(screen, [&] { answerTest(program, 1); });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.answersOnDisk(2), std::string(109, '2'));
    QCOMPARE(TestFolder::read(program.folder.clientFile()).substr(185, 13),
             std::string("NEWCOMER, KIM"));
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(2));
    QCOMPARE(program.codeAsked, 1);
    // The section 2 instructions are spoken once, on reaching item 98, before its question.
    const std::string folder = program.session.SoundPath + "/QLMTest/sound/English/";
    const auto& played = program.fake.audio.played;
    const auto inst2 = std::find(played.begin(), played.end(), folder + "Inst2.wav");
    QVERIFY(inst2 != played.end());
    QCOMPARE(std::count(played.begin(), played.end(), folder + "Inst2.wav"), 1);
    QVERIFY(std::find(inst2, played.end(), folder + "q98.wav") != played.end());
    QVERIFY(std::find(played.begin(), inst2, folder + "q98.wav") == inst2);
    const auto& shown = program.fake.messages.shown;
    QCOMPARE(shown.size(), std::size_t(2));
    QCOMPARE(shown[0].title, std::string("Presentation Note"));
    QCOMPARE(shown[0].text,
             std::string("You have completed this part of the test. Press Enter to continue."));
    QCOMPARE(shown[1].text, std::string("You have completed the test. Thank you for your "
                                        "participation.\r\rPress Enter to continue."));
}

void PresentQAScreenTest::spanishTexts() {
    Program program;
    FrmPresentQA screen(program.session, program.fake.services, "Spanish", program.table("Spanish"),
                        program.secretCode());
    RunModal(screen, [&] {
        QCOMPARE(screen.windowTitle(), QStringLiteral("Presentación de preguntas"));
        QCOMPARE(MsgPanel(screen), QStringLiteral("Oprima la tecla «Enter» para seguir."));
        const QStringList captions{"Instrucciones", "Pregunta", "Escoja su respuesta"};
        const QStringList frames{"fraInstructions", "fraQuestions", "fraAnswer"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(screen.findChild<QGroupBox*>(frames[i])->title(), captions[i]);
        }
        QCOMPARE(screen.findChild<QLabel*>("lblSpokenPrompts")->text(),
                 QStringLiteral("La prueba no se lee en voz alta porque no se encontraron "
                                "archivos de sonido."));
        // The window's close button, the code given: asked in Spanish, and No stays.
        program.fake.messages.answer(MsgAnswer::No);
        screen.reject();
        QVERIFY(screen.isVisible());
        answerTest(program, 0);
    });
    const auto& shown = program.fake.messages.shown;
    QCOMPARE(shown.size(), std::size_t(3));
    QCOMPARE(shown[0],
             (Message{"La prueba no est\xe1 terminada y sus respuestas no est\xe1n "
                      "guardadas.\r\r\xbf"
                      "Dejar la prueba y renunciar a las respuestas?",
                      "Presentaci\xf3n de preguntas", MsgIcon::Question, MsgButtons::YesNo}));
    QCOMPARE(shown[1].title, std::string("Nota de Presentaci\xf3n"));
    QCOMPARE(shown[1].text, std::string("Usted ha terminado esta parte de la prueba. Oprima la "
                                        "tecla \xab"
                                        "Enter\xbb para seguir."));
    QCOMPARE(shown[2].title, std::string("Nota de Presentaci\xf3n"));
    QCOMPARE(shown[2].text, std::string("Usted ha terminado la prueba. Se le agradece su "
                                        "participaci\xf3n.\r\rOprima la tecla \xab"
                                        "Enter\xbb para terminar."));
    // No sound folder for Spanish: the test ran silently.
    QVERIFY(program.fake.audio.played.empty());
}

void PresentQAScreenTest::stepsBackWithF10_data() {
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("F10") << Qt::KeyboardModifiers();
    QTest::newRow("Shift") << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Alt") << Qt::KeyboardModifiers(Qt::AltModifier);
}

// F10 with any modifiers but Shift+Alt goes back one item, to the answer given before.
void PresentQAScreenTest::stepsBackWithF10() {
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Program program;
    FrmPresentQA screen(program.session, program.fake.services, "English", program.table("English"),
                        program.secretCode());
    RunModal(screen, [&] {
        Key(Qt::Key_Return);
        const int beeps = program.fake.messages.beeps;
        Key(Qt::Key_F10, modifiers);
        QCOMPARE(program.fake.messages.beeps, beeps);
        Key(Qt::Key_Return);
        Key(Qt::Key_F10, modifiers);
        QCOMPARE(program.fake.messages.beeps, beeps + 1);
        answerItems(program, 0, 1, 2);
        answerItems(program, 1, 3, 3);
        QCOMPARE(question(screen), QStringLiteral("4. Statement 4"));
        Key(Qt::Key_F10, modifiers);
        QCOMPARE(question(screen), QStringLiteral("3. Statement 3"));
        QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_1"));
        QVERIFY(screen.findChild<QLineEdit*>("txtButtonText_1")->font().bold());
        Key(Qt::Key_Up);
        Key(Qt::Key_Return);
        QCOMPARE(question(screen), QStringLiteral("4. Statement 4"));
    });
    QCOMPARE(QString::fromStdString(screen.presentation().answerText().substr(0, 4)),
             QStringLiteral("1110"));
}

void PresentQAScreenTest::shiftAltF10DropsTheClient() {
    Program program;
    FrmPresentQA screen(program.session, program.fake.services, "English", program.table("English"),
                        program.secretCode());
    const int result = RunModal(screen, [&] {
        answerTest(program, 0, 10);
        Key(Qt::Key_F10, Qt::ShiftModifier | Qt::AltModifier);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(program.session.CurrentClient, std::int16_t(1));
    QCOMPARE(program.session.Clients.entry(2).toBytes(), ClientRecord().toBytes());
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(1));
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
    QCOMPARE(program.codeAsked, 0);
}

// The disk refuses the answers: they are held, said not to be saved, and saved by Enter once
// the disk takes them; the client counts once.
void PresentQAScreenTest::answersAreKeptUntilTheSaveSucceeds() {
    Program program;
    program.diskFails = true;
    FrmPresentQA screen(program.session, program.fake.services, "English", program.table("English"),
                        program.secretCode());
    const int result = RunModal(screen, [&] {
        program.fake.messages.answer(MsgAnswer::OK);
        answerTest(program, 0);
        QVERIFY(screen.isVisible());
        QVERIFY(!screen.answersSaved());
        QCOMPARE(program.fake.messages.shown.back().title, std::string("Data Disk Error"));
        QVERIFY(MsgPanel(screen).startsWith(QStringLiteral("The answers are held")));
        QCOMPARE(program.codeAsked, 0);
        program.diskFails = false;
        Key(Qt::Key_Return);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(program.answersOnDisk(2), std::string(109, '1'));
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(2));
}

// Closed without the code, the screen stays; the window's close button asks for the code too,
// and a saved client stays saved.
void PresentQAScreenTest::aWrongCodeKeepsTheScreen() {
    Program program;
    program.codeAnswers = {false, false, true};
    FrmPresentQA screen(program.session, program.fake.services, "English", program.table("English"),
                        program.secretCode());
    const int result = RunModal(screen, [&] {
        answerTest(program, 0);
        QVERIFY(screen.isVisible());
        // Back is the last item; answering it again ends the test again.
        Key(Qt::Key_F10);
        QCOMPARE(question(screen), QStringLiteral("109. Statement 109"));
        QCOMPARE(FocusName(), QStringLiteral("cmdMenuChoice_0"));
        program.fake.messages.answer(MsgAnswer::OK);
        Key(Qt::Key_Return);
        QCOMPARE(program.codeAsked, 2);
        screen.reject();
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(program.codeAsked, 3);
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(2));
    QCOMPARE(program.session.Clients.entry(2).Name.substr(0, 13), std::string("NEWCOMER, KIM"));
    QCOMPARE(program.answersOnDisk(2), std::string(109, '1'));
}

void PresentQAScreenTest::aSoundErrorLeavesTheSoundOn_data() {
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

// Each sound that cannot be played is said, and the next one is played as usual: instructions,
// section 1, item 1 and its first choice.
void PresentQAScreenTest::aSoundErrorLeavesTheSoundOn() {
    QFETCH(std::string, playerError);
    QFETCH(std::string, undecodable);
    QFETCH(std::vector<std::string>, errors);
    QFETCH(int, played);
    Program program;
    program.fake.audio.failWith = playerError;
    if (!undecodable.empty()) {
        TestFolder::write(program.session.SoundPath + "/QLMTest/sound/English/" + undecodable,
                          "RIFF");
    }
    for (std::size_t n = 0; n < errors.size(); ++n) {
        program.fake.messages.answer(MsgAnswer::OK);
    }
    FrmPresentQA screen(program.session, program.fake.services, "English", program.table("English"),
                        program.secretCode());
    RunModal(screen, [&] {
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        Key(Qt::Key_Down);
        QCOMPARE(MsgPanel(screen), QStringLiteral("Press Enter to select this answer. Press Tab "
                                                  "or Arrows to hear question again."));
    });
    QCOMPARE(program.fake.audio.played.size(), std::size_t(played));
    QCOMPARE(program.fake.messages.shown.size(), errors.size());
    for (std::size_t n = 0; n < errors.size(); ++n) {
        QCOMPARE(program.fake.messages.shown[n],
                 (Message{errors[n], "Sound Error", MsgIcon::Critical, MsgButtons::OK}));
    }
}

void PresentQAScreenTest::largePrint_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("large");
    QTest::newRow("normal") << QString() << QList<int>{} << false;
    QTest::newRow("setting") << QStringLiteral("LargePrint=1") << QList<int>{} << true;
    QTest::newRow("Ctrl+plus") << QString() << QList<int>{Qt::Key_Plus} << true;
    QTest::newRow("Ctrl+minus after the setting")
        << QStringLiteral("LargePrint=1") << QList<int>{Qt::Key_Minus} << false;
}

// Large print fills the screen with text twice the size; the light-blue panel still surrounds
// the whole answer, and no answer is cut off.
void PresentQAScreenTest::largePrint() {
    QFETCH(QString, setting);
    QFETCH(QList<int>, keys);
    QFETCH(bool, large);
    Program program;
    TestFolder::write(program.folder.program() + "/QLMtest.ini",
                      "[Options]\r\n" + setting.toStdString() + "\r\n");
    FrmPresentQA screen(program.session, program.fake.services, "Spanish", program.table("Spanish"),
                        program.secretCode());
    const qreal normal = QApplication::font().pointSizeF();
    RunModal(screen, [&] {
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        answerItems(program, 0, 1, 97);
        for (const int k : keys) {
            Key(Qt::Key(k), Qt::ControlModifier);
        }
        Key(Qt::Key_Down);
        Key(Qt::Key_Down);
        QCoreApplication::processEvents();
        QCOMPARE(screen.largePrint(), large);
        QCOMPARE(screen.isMaximized(), large);
        for (const char* name : {"txtQuestion", "txtButtonText_1", "cmdMenuChoice_1", "MsgPanel"}) {
            const qreal size = screen.findChild<QWidget*>(name)->font().pointSizeF();
            QVERIFY2(large ? size >= 2 * normal : size == normal, name);
        }
        QCOMPARE(screen.findChild<QWidget*>("sspMenuChoice_1")->palette().color(QPalette::Window),
                 QColor(0, 255, 255));
        for (int i = 0; i < 4; ++i) {
            const auto* panel =
                screen.findChild<QWidget*>(QStringLiteral("sspMenuChoice_%1").arg(i));
            const auto* answer =
                screen.findChild<QLineEdit*>(QStringLiteral("txtButtonText_%1").arg(i));
            const QRect row(panel->mapTo(&screen, QPoint()), panel->size());
            QVERIFY(row.contains(QRect(answer->mapTo(&screen, QPoint()), answer->size())));
            QVERIFY(answer->fontMetrics().horizontalAdvance(answer->text()) <
                    answer->contentsRect().width());
        }
    });
}

// Each answer goes to the journal as it is given; after a crash the next start offers the test
// again at the item reached, with the answers given, and the save at the end clears it.
void PresentQAScreenTest::anInterruptedTestIsTakenUp() {
    Program program;
    program.session.DataPath = program.folder.data();
    const std::string journal = JournalFileName(program.folder.data());
    {
        FrmPresentQA screen(program.session, program.fake.services, "English",
                            program.table("English"), program.secretCode());
        screen.keepJournal(journal);
        RunModal(screen, [&] { answerTest(program, 1, 10); });
    }
    std::string problem;
    const auto kept = ParseJournal(TestFolder::read(journal), problem);
    QVERIFY2(kept.has_value(), problem.c_str());
    QCOMPARE(kept->record, 2);
    QCOMPARE(kept->reached, 11);
    QCOMPARE(kept->responses[10], 2);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);

    // The program starts again: the new client is only in the journal.
    ClearClient(program.session);
    program.session.CurrentClient = 1;
    program.fake.messages.answer(MsgAnswer::Yes);
    bool resumedAtItem11 = false;
    test::OnModal<QDialog>([&](QDialog& screen) {
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        resumedAtItem11 = question(screen) == QStringLiteral("11. Statement 11");
        answerItems(program, 0, 11, 109);
    });
    OfferToResumeTest(program.session, program.fake.services, program.secretCode(), nullptr);
    QVERIFY(resumedAtItem11);
    QCOMPARE(program.fake.messages.shown.front().title, std::string("Interrupted Test"));
    QVERIFY(program.fake.messages.shown.front().text.find(
                "The on-screen test of NEWCOMER, KIM was interrupted at item 11.") == 0);
    QCOMPARE(program.answersOnDisk(2), std::string(10, '2') + std::string(99, '1'));
    QCOMPARE(program.session.Clients.NumberOfClients(), std::int16_t(2));
    QVERIFY(!std::filesystem::exists(journal));
}

// The screen's part: the journal is said and set aside, nothing is taken from it.
void PresentQAScreenTest::aJournalThatCannotBeUsedIsKeptAside() {
    Program program;
    program.session.DataPath = program.folder.data();
    const std::string path = JournalFileName(program.folder.data());
    TestJournal journal;
    journal.record = 2;
    journal.language = "English";
    const std::string text = FormatJournal(journal);
    TestFolder::write(path, text.substr(0, text.size() - 5));
    program.fake.messages.answer(MsgAnswer::OK);
    OfferToResumeTest(program.session, program.fake.services, program.secretCode(), nullptr);
    QCOMPARE(program.fake.messages.shown.size(), std::size_t(1));
    QVERIFY2(QString::fromStdString(program.fake.messages.shown[0].text)
                 .endsWith(QString::fromStdString(
                     ".\r\n\r\nNothing was taken from it. It is kept as " + path + ".damaged.")),
             program.fake.messages.shown[0].text.c_str());
    QVERIFY(!std::filesystem::exists(path));
    QCOMPARE(program.session.CurrentClient, 2);
    QCOMPARE(TestFolder::read(program.folder.clientFile()), program.onDisk);
}

QTEST_MAIN(PresentQAScreenTest)
#include "PresentQAScreenTest.moc"
