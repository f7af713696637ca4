#include "testing/FrmPresentQA.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "session/CheckedSave.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "testing/QuestionBank.h"
#include "testing/SoundFiles.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

// Texts in both languages, UTF-8.
constexpr const char* InstructionPrompt[] = {"When ready press Enter to continue.",
                                             "Oprima la tecla «Enter» para seguir."};
constexpr const char* QuestionPrompt[] = {
    "Use Up or Down arrow keys to highlight answer, then press Enter. Press F10 to go back to "
    "previous question.",
    "Oprima las teclas de flechas Hacia Arriba o Hacia Abajo para iluminar su respuesta. Luego "
    "oprima la tecla «Enter». Oprima la tecla «F10» para ver la pregunta anterior."};
constexpr const char* ChoicePromptWithSound[] = {
    "Press Enter to select this answer. Press Tab or Arrows to hear question again.",
    "Ilumine la respuesta que usted escoja y luego oprima la tecla «Enter»."};
constexpr const char* ChoicePromptSilent[] = {
    "Press Enter to select this answer.",
    "Ilumine la respuesta que usted escoja y luego oprima la tecla «Enter»."};
constexpr const char* EndOfPartTitle[] = {"Presentation Note", "Nota de Presentación"};
constexpr const char* EndOfPartText[] = {
    "You have completed this part of the test. Press Enter to continue.",
    "Usted ha terminado esta parte de la prueba. Oprima la tecla «Enter» para seguir."};
constexpr const char* EndOfTestTitle[] = {"Presentation Note", "Nota de Presentacion"};
constexpr const char* EndOfTestText[] = {
    "You have completed the test. Thank you for your participation.\r\rPress Enter to continue.",
    "Usted ha terminado la prueba. Se le agradece su participacion.\r\rOprima la tecla "
    "<<Enter>> para terminar."};
constexpr const char* Caption[] = {"Question Presentation", "Presentación de preguntas"};

constexpr const char* RetryAdvice =
    "The answers are held on this screen. Put the data disk back, then press Enter to save them.";

Message bankUnreadableMessage(const DataFileError& error) {
    return {std::string("The test cannot be presented: the question bank could not be read.") +
                "\r\r" + error.what(),
            "Question Bank Error", MsgIcon::Critical, MsgButtons::OK};
}

// The program's own texts are UTF-8; message boxes take the single-byte form.
std::string latin1(const char* utf8) {
    return ToLatin1(QString::fromUtf8(utf8)).value_or(utf8);
}

}  // namespace

FrmPresentQA::FrmPresentQA(Session& session, Services& services, std::string language,
                           QuestionBankRecordset records, std::function<bool()> askSecretCode,
                           QWidget* parent)
    : QDialog(parent),
      m_session(session),
      m_services(services),
      m_language(std::move(language)),
      m_spanish(IsSpanish(m_language)),
      m_presentation(std::move(records)),
      m_askSecretCode(std::move(askSecretCode)) {
    setObjectName(QStringLiteral("frmPresentQA"));
    setWindowTitle(QString::fromLatin1(Caption[0]));
    setModal(true);
    buildScreen();
    showItem();

    auto* back = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(back, &QShortcut::activated, this, &FrmPresentQA::goBack);
    // Staff's way out: the new client is dropped and nothing is stored.
    auto* leave = new QShortcut(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_F10), this);
    connect(leave, &QShortcut::activated, this, &FrmPresentQA::abandon);
    connect(this, &QDialog::finished, this, &FrmPresentQA::StopAudio);

    resize(760, 560);
    if (!isMaximized()) {
        CenterForm(this);
    }
}

void FrmPresentQA::buildScreen() {
    m_fraInstructions = new QGroupBox(QStringLiteral("Instructions"), this);
    m_fraInstructions->setObjectName(QStringLiteral("fraInstructions"));
    m_txtInstructions = new QPlainTextEdit(m_fraInstructions);
    m_txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    m_txtInstructions->setReadOnly(true);
    m_txtInstructions->setAccessibleName(QStringLiteral("Instructions"));
    m_txtInstructions->installEventFilter(this);
    (new QVBoxLayout(m_fraInstructions))->addWidget(m_txtInstructions);

    m_frQandA = new QFrame(this);
    m_frQandA->setObjectName(QStringLiteral("frQandA"));
    m_fraQuestions = new QGroupBox(QStringLiteral("Question"), m_frQandA);
    m_fraQuestions->setObjectName(QStringLiteral("fraQuestions"));
    m_txtQuestion = new QPlainTextEdit(m_fraQuestions);
    m_txtQuestion->setObjectName(QStringLiteral("txtQuestion"));
    m_txtQuestion->setReadOnly(true);
    m_txtQuestion->setAccessibleName(QStringLiteral("Question"));
    // The question takes the focus only from the program, never by Tab or the mouse.
    m_txtQuestion->setFocusPolicy(Qt::NoFocus);
    m_txtQuestion->setMaximumHeight(110);
    m_txtQuestion->installEventFilter(this);
    (new QVBoxLayout(m_fraQuestions))->addWidget(m_txtQuestion);

    m_fraAnswer = new QGroupBox(QStringLiteral("Choose Answer"), m_frQandA);
    m_fraAnswer->setObjectName(QStringLiteral("fraAnswer"));
    auto* rows = new QVBoxLayout(m_fraAnswer);
    m_msgPanel = MakeMsgPanel(this);
    for (int i = 0; i < ChoiceCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        auto* choice = new MenuChoice(i, QString::number(i + 1), m_fraAnswer);
        choice->setFixedWidth(70);
        auto* text = new QLineEdit(m_fraAnswer);
        text->setObjectName(QStringLiteral("txtButtonText_%1").arg(i));
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        text->installEventFilter(this);
        choice->button()->installEventFilter(this);
        connect(choice->button(), &QPushButton::clicked, this, [this, i] { choose(i); });
        auto* row = new QHBoxLayout;
        row->addWidget(choice);
        row->addWidget(text, 1);
        rows->addLayout(row);
        m_choices[index] = choice;
        m_txtButtonText[index] = text;
    }
    for (int i = 0; i + 1 < ChoiceCount; ++i) {
        setTabOrder(m_choices[static_cast<std::size_t>(i)]->button(),
                    m_choices[static_cast<std::size_t>(i) + 1]->button());
    }
    auto* qanda = new QVBoxLayout(m_frQandA);
    qanda->addWidget(m_fraQuestions);
    qanda->addWidget(m_fraAnswer);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fraInstructions, 1);
    layout->addWidget(m_frQandA, 1);
    layout->addWidget(m_msgPanel);
}

void FrmPresentQA::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once only: a secret code prompt that closes without the code must not start the test's
    // instructions over.
    if (!m_activated) {
        m_activated = true;
        activate();
    }
}

void FrmPresentQA::activate() {
    const int lang = m_spanish ? 1 : 0;
    setWindowTitle(QString::fromUtf8(Caption[lang]));
    // SetupAudio
    m_audioEnabled = m_services.audio.available();
    m_instructionText = SetInstructionText(m_language);
    for (MenuChoice* choice : m_choices) {
        choice->setPrompt(m_msgPanel, QString::fromUtf8(m_audioEnabled ? ChoicePromptWithSound[lang]
                                                                       : ChoicePromptSilent[lang]));
    }
    m_generalInstructionsPending = true;
    TestInstructions(0);
    PlayAudio(InstructionAudioFile[0]);
    ClearShpButtonColor(this, ChoiceCount - 1);
}

void FrmPresentQA::TestInstructions(int section) {
    m_txtInstructions->clear();
    m_frQandA->hide();
    m_fraInstructions->show();
    m_txtInstructions->setPlainText(
        QString::fromStdString(m_instructionText.at(static_cast<std::size_t>(section))));
    m_txtInstructions->moveCursor(QTextCursor::Start);
    m_txtInstructions->setFocus(Qt::OtherFocusReason);
}

void FrmPresentQA::dismissInstructions() {
    m_fraInstructions->hide();
    m_frQandA->show();
    if (m_generalInstructionsPending) {
        m_generalInstructionsPending = false;
        // A test taken up in its second section goes on with that section's instructions.
        const int section = m_presentation.item().ID > TestSpec::TrueFalseItemCount ? 2 : 1;
        TestInstructions(section);
        PlayAudio(InstructionAudioFile[static_cast<std::size_t>(section)]);
        return;
    }
    showPrompt(QuestionPrompt[0], QuestionPrompt[1]);
    focusQuestion();
}

void FrmPresentQA::showItem() {
    const BankItem& item = m_presentation.item();
    m_txtQuestion->setPlainText(QString::fromStdString(QuestionText(item)));
    m_txtQuestion->moveCursor(QTextCursor::Start);
    for (int k = 1; k <= ChoiceCount; ++k) {
        const auto index = static_cast<std::size_t>(k - 1);
        const bool offered = item.offered(k);
        const QString text =
            offered ? QString::fromStdString(*item.Answer[static_cast<std::size_t>(k)]) : QString();
        m_txtButtonText[index]->setText(text);
        m_txtButtonText[index]->setVisible(offered);
        m_choices[index]->setVisible(offered);
        m_choices[index]->button()->setAccessibleName(text);
    }
}

void FrmPresentQA::GetNextQuestion() {
    const NextShown next = m_presentation.GetNextQuestion();
    if (next == NextShown::EndOfTest) {
        endOfTest();
        return;
    }
    m_frQandA->show();
    showItem();
    if (next == NextShown::SectionTwoInstructions) {
        StopAudio();
        TestInstructions(2);
        PlayAudio(InstructionAudioFile[2]);
    }
}

void FrmPresentQA::goBack() {
    if (m_fraInstructions->isVisible()) {
        return;
    }
    if (!m_presentation.goBack()) {
        m_services.messages.beep();
        return;
    }
    m_testEnded = false;
    m_frQandA->show();
    showItem();
    focusChoice(0);
    focusQuestion();
}

void FrmPresentQA::abandon() {
    StopAudio();
    // Answers already in the file stay there with their client.
    if (!m_saved) {
        DropUnsavedClient(m_session);
        removeJournal();
    }
    m_leaving = true;
    done(QDialog::Rejected);
}

void FrmPresentQA::reject() {
    if (m_leaving) {
        QDialog::reject();
        return;
    }
    // The window's close button is not the juvenile's to use: the supervisor's code first, and
    // unsaved answers are given up only when the supervisor says so.
    if (!m_askSecretCode()) {
        return;
    }
    if (!m_saved &&
        m_services.messages.show({"The test is not finished and its answers are not saved.\r\r"
                                  "Leave the test and give up the answers?",
                                  "Question Presentation", MsgIcon::Question, MsgButtons::YesNo}) !=
            MsgAnswer::Yes) {
        return;
    }
    abandon();
}

void FrmPresentQA::choose(int i) {
    m_choices[static_cast<std::size_t>(i)]->setHighlighted(false);
    const AfterChoice after = m_presentation.choose(i);
    const int lang = m_spanish ? 1 : 0;
    if (after != AfterChoice::Nothing) {
        StopAudio();
        m_frQandA->hide();
        m_msgPanel->clear();
        if (after == AfterChoice::EndOfPart) {
            showBox(EndOfPartTitle[lang], EndOfPartText[lang]);
            m_frQandA->show();
        } else {
            showBox(EndOfTestTitle[lang], EndOfTestText[lang]);
        }
    }
    GetNextQuestion();
    if (!m_saved) {
        writeJournal();
    }
    if (after != AfterChoice::EndOfTest && !m_fraInstructions->isVisible()) {
        focusQuestion();
    }
}

void FrmPresentQA::endOfTest() {
    m_testEnded = true;
    m_msgPanel->clear();
    m_frQandA->hide();
    setFocus(Qt::OtherFocusReason);
    if (!storeAnswers()) {
        // Nothing is lost: the answers stay here until the save succeeds.
        m_msgPanel->setText(QString::fromLatin1(RetryAdvice));
        return;
    }
    m_session.ContinueEntry = true;
    if (m_askSecretCode()) {
        m_leaving = true;
        accept();
    }
}

bool FrmPresentQA::storeAnswers() {
    const int n = m_session.CurrentClient;
    ClientRecord& client = m_session.Clients.entry(n);
    const ClientRecord before = client;
    client.set(&ClientRecord::Answers, m_presentation.answerText());
    MOUSEWAIT();
    const bool saved = SaveClientChecked(m_session, m_services.messages, n, before,
                                         {"The client's answers", RetryAdvice});
    MOUSEDEFAULT();
    if (saved && !m_saved) {
        // The client is in the file from now on; a later save rewrites its record.
        m_saved = true;
        removeJournal();
        m_session.MainMenuActive = true;
    }
    return saved;
}

void FrmPresentQA::focusQuestion() {
    if (m_txtQuestion->hasFocus()) {
        // The focus is given again, so that the question's sound and colours follow.
        m_choices.front()->button()->setFocus(Qt::OtherFocusReason);
    }
    m_txtQuestion->setFocus(Qt::OtherFocusReason);
}

void FrmPresentQA::focusChoice(int i) {
    m_choices[static_cast<std::size_t>(i)]->button()->setFocus(Qt::TabFocusReason);
}

int FrmPresentQA::visibleChoice(int i, int step) const {
    for (int k = i + step; k >= 0 && k < ChoiceCount; k += step) {
        if (!m_choices[static_cast<std::size_t>(k)]->isHidden()) {
            return k;
        }
    }
    return -1;
}

bool FrmPresentQA::choiceKey(int i, const QKeyEvent* key) {
    int target = 0;
    switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Backtab:
            target = visibleChoice(i, -1);
            break;
        case Qt::Key_Down:
        case Qt::Key_Tab:
            // Past the last choice the question comes back, with its sound.
            target = visibleChoice(i, 1);
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
            return true;
        default:
            return false;
    }
    if (target < 0) {
        focusQuestion();
    } else {
        focusChoice(target);
    }
    return true;
}

bool FrmPresentQA::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_txtInstructions) {
        if (type == QEvent::FocusIn) {
            for (QLineEdit* text : m_txtButtonText) {
                SetBold(text, false);
            }
            showPrompt(InstructionPrompt[0], InstructionPrompt[1]);
        } else if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab) {
                dismissInstructions();
                return true;
            }
            // Long instructions can still be scrolled; no other key does anything.
            return key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_PageUp &&
                   key != Qt::Key_PageDown;
        }
    } else if (watched == m_txtQuestion) {
        if (type == QEvent::FocusIn) {
            if (m_fraInstructions->isVisible()) {
                m_txtInstructions->setFocus(Qt::OtherFocusReason);
                return true;
            }
            setQuestionColours(Cyan, Black);
            showPrompt(QuestionPrompt[0], QuestionPrompt[1]);
            PlayAudio(m_presentation.item().QuestionAudioFile);
        } else if (type == QEvent::FocusOut) {
            setQuestionColours(Blue, White);
        } else if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Down || key == Qt::Key_Tab) {
                focusChoice(0);
            }
            return true;
        }
    }
    for (int i = 0; i < ChoiceCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (watched == m_choices[index]->button()) {
            if (type == QEvent::FocusIn) {
                SetBold(m_txtButtonText[index], true);
                PlayAudio(m_presentation.item().ChoiceAudioFile[index + 1]);
            } else if (type == QEvent::FocusOut) {
                SetBold(m_txtButtonText[index], false);
            } else if (type == QEvent::KeyPress && choiceKey(i, static_cast<QKeyEvent*>(event))) {
                return true;
            }
        } else if (watched == m_txtButtonText[index] && type == QEvent::MouseButtonPress) {
            choose(i);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmPresentQA::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (m_testEnded && !m_saved && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        endOfTest();
        return;
    }
    // Escape and the rest never leave the test.
    event->accept();
}

void FrmPresentQA::setQuestionColours(unsigned background, unsigned text) {
    // A text box paints its own base, not the window colour.
    QPalette palette = m_txtQuestion->palette();
    palette.setColor(QPalette::Base, FromBGR(background));
    palette.setColor(QPalette::Text, FromBGR(text));
    m_txtQuestion->setPalette(palette);
}

void FrmPresentQA::showPrompt(const char* english, const char* spanish) {
    m_msgPanel->setText(QString::fromUtf8(m_spanish ? spanish : english));
}

void FrmPresentQA::showBox(const char* title, const char* text) {
    m_services.messages.show({latin1(text), latin1(title), MsgIcon::None, MsgButtons::OK});
}

void FrmPresentQA::PlayAudio(const std::string& name) {
    if (!m_audioEnabled) {
        return;
    }
    StopAudio();
    if (name.empty()) {
        return;
    }
    const std::string path = SoundFilePath(m_session.SoundPath, m_language, name);
    if (!m_session.Files.exists(path)) {
        return;
    }
    std::string error;
    if (!m_services.audio.play(path, error)) {
        // Said once; the test goes on without sound and without the repeat hint.
        m_audioEnabled = false;
        const int lang = m_spanish ? 1 : 0;
        for (MenuChoice* choice : m_choices) {
            choice->setPrompt(m_msgPanel, QString::fromUtf8(ChoicePromptSilent[lang]));
        }
        m_services.messages.show(
            {"Error " + error, "Sound Error", MsgIcon::Critical, MsgButtons::OK});
    }
}

void FrmPresentQA::StopAudio() {
    m_services.audio.stop();
}

void FrmPresentQA::resume(const TestJournal& journal) {
    m_presentation.resume(journal.responses, journal.reached);
    showItem();
}

void FrmPresentQA::writeJournal() {
    if (m_journalPath.empty()) {
        return;
    }
    TestJournal journal;
    journal.record = m_session.CurrentClient;
    journal.language = m_language;
    journal.client = m_session.Clients.entry(journal.record);
    journal.reached = m_testEnded ? TestSpec::ItemCount + 1 : m_presentation.item().ID;
    journal.responses = m_presentation.ItemResponses();
    try {
        m_session.Files.replaceFile(m_journalPath, FormatJournal(journal));
    } catch (const FileError&) {
        // The journal is only a second copy: the answers are still held here, and the save at
        // the end reports on the data disk itself.
    }
}

void FrmPresentQA::removeJournal() {
    if (m_journalPath.empty()) {
        return;
    }
    try {
        m_session.Files.remove(m_journalPath);
    } catch (const FileError&) {
        // A journal left behind is offered at the next start and can be declined there.
    }
}

void ShowPresentQA(Session& session, Services& services, const std::string& language,
                   std::function<bool()> askSecretCode, QWidget* parent,
                   const TestJournal* resumeFrom) {
    MOUSEWAIT();
    std::optional<QuestionBankRecordset> records;
    try {
        const QuestionBank bank(session.QuestionBankPath);
        records.emplace(bank.openTable(language));
    } catch (const DataFileError& error) {
        MOUSEDEFAULT();
        services.messages.show(bankUnreadableMessage(error));
        DropUnsavedClient(session);
        return;
    }
    FrmPresentQA screen(session, services, language, std::move(*records), std::move(askSecretCode),
                        parent);
    screen.keepJournal(JournalFileName(session.DataPath));
    if (resumeFrom != nullptr) {
        screen.resume(*resumeFrom);
    }
    MOUSEDEFAULT();
    screen.exec();
}

void OfferToResumeTest(Session& session, Services& services, std::function<bool()> askSecretCode,
                       QWidget* parent) {
    const std::string path = JournalFileName(session.DataPath);
    if (!session.Files.exists(path)) {
        return;
    }
    std::string problem;
    std::optional<TestJournal> journal;
    try {
        journal = ParseJournal(session.Files.readFile(path, MaxJournalBytes), problem);
    } catch (const FileError& error) {
        problem = "it cannot be read (Error " + std::to_string(error.number()) + ":" +
                  error.description() + ")";
    }
    if (journal && journal->record != session.Clients.NumberOfClients() + 1) {
        problem = "it belongs to a client file of " + std::to_string(journal->record - 1) +
                  " clients, not to this one";
        journal.reset();
    }
    if (!journal) {
        const std::string aside = path + ".damaged";
        std::error_code ignored;
        std::filesystem::rename(path, aside, ignored);
        services.messages.show(
            {"The journal of an interrupted test, " + path + ", cannot be used: " + problem +
                 ".\r\n\r\nNothing was taken from it. It is kept as " + aside + ".",
             "Interrupted Test", MsgIcon::Exclamation, MsgButtons::OK});
        return;
    }
    const std::string name = Trim(journal->client.Name);
    const MsgAnswer answer = services.messages.show(
        {"The on-screen test of " + (name.empty() ? std::string("a new client") : name) +
             " was interrupted at item " + std::to_string(std::min(journal->reached, 109)) +
             ".\r\n\r\nTake it up again now? No gives up the answers given so far.",
         "Interrupted Test", MsgIcon::Question, MsgButtons::YesNo});
    if (answer != MsgAnswer::Yes) {
        try {
            session.Files.remove(path);
        } catch (const FileError&) {
            // Offered again at the next start.
        }
        return;
    }
    session.EditMode = false;
    session.CurrentClient = static_cast<std::int16_t>(session.Clients.NewClient(journal->client));
    // The test's screens are open as in any sequence of the main menu.
    session.MainMenuActive = false;
    ShowPresentQA(session, services, journal->language, std::move(askSecretCode), parent,
                  &*journal);
    session.MainMenuActive = true;
}

}  // namespace qlm
