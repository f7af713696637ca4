#include "testing/FrmPresentQA.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

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

// The save's own box speaks to the staff, in English like the rest of the data disk's boxes.
constexpr const char* SaveRetryAdvice =
    "The answers are held on this screen. Put the data disk back, then press Enter to save them.";

// Large print doubles the text of the whole window.
constexpr double LargePrintScale = 2.0;
const QSize NormalSize(760, 560);

Message bankUnreadableMessage(const DataFileError& error) {
    return {std::string("The test cannot be presented: the question bank could not be read.") +
                "\r\r" + error.what(),
            "Question Bank Error", MsgIcon::Critical, MsgButtons::OK};
}

// The program's own texts are UTF-8; message boxes take the single-byte form.
std::string latin1(std::string_view utf8) {
    return ToLatin1(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())))
        .value_or(std::string(utf8));
}

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace

FrmPresentQA::FrmPresentQA(Session& session, Services& services, std::string language,
                           QuestionBankRecordset records, std::function<bool()> askSecretCode,
                           QWidget* parent)
    : Screen("frmPresentQA", {}, parent),
      m_session(session),
      m_services(services),
      m_language(std::move(language)),
      m_texts(TextsFor(m_language)),
      m_presentation(std::move(records)),
      m_askSecretCode(std::move(askSecretCode)) {
    setWindowTitle(text(m_texts.Caption));
    // Large print fills the screen, which a window manager allows a window that can be maximised.
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    buildScreen();
    showItem();
    connect(this, &QDialog::finished, this, &FrmPresentQA::StopAudio);

    const std::string largePrint =
        m_session.Settings.read("Options", "LargePrint", "0", Settings::WholeValue);
    setLargePrint(Trim(largePrint) == "1" || largePrint.starts_with("Tru"));
}

void FrmPresentQA::buildScreen() {
    m_fraInstructions = new QGroupBox(text(m_texts.InstructionsCaption), this);
    m_fraInstructions->setObjectName(QStringLiteral("fraInstructions"));
    m_txtInstructions = new QPlainTextEdit(m_fraInstructions);
    m_txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    m_txtInstructions->setReadOnly(true);
    m_txtInstructions->setAccessibleName(text(m_texts.InstructionsCaption));
    m_txtInstructions->installEventFilter(this);
    m_lblSpokenPrompts = new QLabel(m_fraInstructions);
    m_lblSpokenPrompts->setObjectName(QStringLiteral("lblSpokenPrompts"));
    m_lblSpokenPrompts->setWordWrap(true);
    auto* instructions = new QVBoxLayout(m_fraInstructions);
    instructions->addWidget(m_txtInstructions);
    instructions->addWidget(m_lblSpokenPrompts);

    m_frQandA = new QFrame(this);
    m_frQandA->setObjectName(QStringLiteral("frQandA"));
    m_fraQuestions = new QGroupBox(text(m_texts.QuestionCaption), m_frQandA);
    m_fraQuestions->setObjectName(QStringLiteral("fraQuestions"));
    m_txtQuestion = new QPlainTextEdit(m_fraQuestions);
    m_txtQuestion->setObjectName(QStringLiteral("txtQuestion"));
    m_txtQuestion->setReadOnly(true);
    m_txtQuestion->setAccessibleName(text(m_texts.QuestionCaption));
    // The question takes the focus only from the program, never by Tab or the mouse.
    m_txtQuestion->setFocusPolicy(Qt::NoFocus);
    m_txtQuestion->installEventFilter(this);
    (new QVBoxLayout(m_fraQuestions))->addWidget(m_txtQuestion);

    m_fraAnswer = new QGroupBox(text(m_texts.AnswerCaption), m_frQandA);
    m_fraAnswer->setObjectName(QStringLiteral("fraAnswer"));
    auto* rows = new QVBoxLayout(m_fraAnswer);
    m_msgPanel = MakeMsgPanel(this);
    for (int i = 0; i < ChoiceCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        auto* choice = new MenuChoice(i, QString::number(i + 1), m_fraAnswer);
        auto* answer = new QLineEdit(choice);
        answer->setObjectName(QStringLiteral("txtButtonText_%1").arg(i));
        answer->setReadOnly(true);
        answer->setFocusPolicy(Qt::NoFocus);
        answer->installEventFilter(this);
        // The highlight panel surrounds the whole answer, its number and its text.
        auto* row = static_cast<QBoxLayout*>(choice->layout());
        row->setDirection(QBoxLayout::LeftToRight);
        row->addWidget(answer, 1);
        choice->button()->installEventFilter(this);
        connect(choice->button(), &QPushButton::clicked, this, [this, i] { choose(i); });
        rows->addWidget(choice);
        m_choices[index] = choice;
        m_txtButtonText[index] = answer;
    }
    for (int i = 0; i + 1 < ChoiceCount; ++i) {
        setTabOrder(m_choices[static_cast<std::size_t>(i)]->button(),
                    m_choices[static_cast<std::size_t>(i) + 1]->button());
    }
    rows->addStretch(1);
    auto* qanda = new QVBoxLayout(m_frQandA);
    qanda->addWidget(m_fraQuestions);
    qanda->addWidget(m_fraAnswer, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fraInstructions, 1);
    layout->addWidget(m_frQandA, 1);
    layout->addWidget(m_msgPanel);
}

void FrmPresentQA::setLargePrint(bool on) {
    m_largePrint = on;
    QFont font = QApplication::font();
    if (on) {
        if (font.pointSizeF() > 0) {
            font.setPointSizeF(font.pointSizeF() * LargePrintScale);
        } else {
            font.setPixelSize(static_cast<int>(font.pixelSize() * LargePrintScale));
        }
    }
    setFont(font);
    // Controls with a font of their own (the bold ones) keep their weight at the new size.
    for (QWidget* widget : findChildren<QWidget*>()) {
        if (widget->testAttribute(Qt::WA_SetFont)) {
            QFont own = font;
            own.setBold(widget->font().bold());
            widget->setFont(own);
        }
    }
    const QFontMetrics metrics(font);
    // Room for the longest item in three lines, and for the choice's number.
    m_txtQuestion->setFixedHeight(metrics.lineSpacing() * 3 + 2 * metrics.height() / 3 + 8);
    for (MenuChoice* choice : m_choices) {
        choice->button()->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0")) * 4 + 24);
    }
    if (on) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        resize(NormalSize);
        CenterForm(this);
    }
}

void FrmPresentQA::firstShown() {
    // SetupAudio: without a device or without the language's sounds the test runs silently, and
    // the staff read so on the general instructions before the juvenile starts.
    const SpokenPrompts spoken = SpokenPromptsFor(m_services.audio.available(), m_session.Files,
                                                  m_session.SoundPath, m_language);
    m_audioEnabled = spoken == SpokenPrompts::On;
    m_lblSpokenPrompts->setText(text(m_texts.Spoken.at(static_cast<std::size_t>(spoken))));
    for (MenuChoice* choice : m_choices) {
        choice->setPrompt(m_msgPanel, text(m_audioEnabled ? m_texts.ChoicePromptWithSound
                                                          : m_texts.ChoicePromptSilent));
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
        QString::fromStdString(m_texts.Instructions.at(static_cast<std::size_t>(section))));
    m_lblSpokenPrompts->setVisible(section == 0);
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
    showPrompt(m_texts.QuestionPrompt);
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
    // The answer given before has the focus, so that the juvenile sees (and hears) it.
    const int given =
        m_presentation.ItemResponses().at(static_cast<std::size_t>(m_presentation.item().ID));
    if (given > 0 && !m_choices.at(static_cast<std::size_t>(given - 1))->isHidden()) {
        focusChoice(given - 1);
        return;
    }
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
        m_services.messages.show({latin1(m_texts.LeaveText), latin1(m_texts.Caption),
                                  MsgIcon::Question, MsgButtons::YesNo}) != MsgAnswer::Yes) {
        return;
    }
    abandon();
}

void FrmPresentQA::choose(int i) {
    m_choices[static_cast<std::size_t>(i)]->setHighlighted(false);
    const AfterChoice after = m_presentation.choose(i);
    if (after != AfterChoice::Nothing) {
        StopAudio();
        m_frQandA->hide();
        m_msgPanel->clear();
        if (after == AfterChoice::EndOfPart) {
            showBox(m_texts.EndOfPartTitle, m_texts.EndOfPartText, MsgIcon::None);
            m_frQandA->show();
        } else {
            showBox(m_texts.EndOfTestTitle, m_texts.EndOfTestText, MsgIcon::None);
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
        m_msgPanel->setText(text(m_texts.RetryAdvice));
        return;
    }
    if (m_askSecretCode()) {
        m_leaving = true;
        accept();
    }
}

bool FrmPresentQA::storeAnswers() {
    BusyPointer busy;
    const bool saved =
        SaveAnswers(m_session, m_services.messages, m_presentation.answerText(), SaveRetryAdvice);
    busy.done();
    if (saved && !m_saved) {
        // The client is in the file from now on; a later save rewrites its record.
        m_saved = true;
        removeJournal();
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

bool FrmPresentQA::formKey(const QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    switch (key->key()) {
        case Qt::Key_F10:
            // Shift+Alt is the staff's way out; with any other modifier, or none, F10 goes back.
            if (modifiers.testFlag(Qt::ShiftModifier) && modifiers.testFlag(Qt::AltModifier)) {
                abandon();
            } else {
                goBack();
            }
            return true;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            if (control) {
                setLargePrint(true);
            }
            return control;
        case Qt::Key_Minus:
            if (control) {
                setLargePrint(false);
            }
            return control;
        default:
            return false;
    }
}

bool FrmPresentQA::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && formKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (watched == m_txtInstructions) {
        if (type == QEvent::FocusIn) {
            for (QLineEdit* text : m_txtButtonText) {
                SetBold(text, false);
            }
            showPrompt(m_texts.InstructionPrompt);
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
            showPrompt(m_texts.QuestionPrompt);
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
    if (formKey(event)) {
        return;
    }
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

void FrmPresentQA::showPrompt(const char* prompt) {
    m_msgPanel->setText(text(prompt));
}

void FrmPresentQA::showBox(const char* title, const std::string& message, MsgIcon icon) {
    m_services.messages.show({latin1(message), latin1(title), icon, MsgButtons::OK});
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
    // A sound that cannot be played is said each time; the test goes on and the next sound
    // is tried as usual.
    std::string error = SoundFileProblem(m_session.Files, path);
    if (error.empty() && m_services.audio.play(path, error)) {
        return;
    }
    showBox(m_texts.SoundErrorTitle, FillIn(m_texts.SoundErrorText, error), MsgIcon::Critical);
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
    BusyPointer busy;
    std::optional<QuestionBankRecordset> records;
    try {
        const QuestionBank bank(session.QuestionBankPath);
        records.emplace(bank.openTable(language));
    } catch (const DataFileError& error) {
        busy.done();
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
    busy.done();
    screen.exec();
}

void OfferToResumeTest(Session& session, Services& services, std::function<bool()> askSecretCode,
                       QWidget* parent) {
    const std::string path = JournalFileName(session.DataPath);
    if (!session.Files.exists(path)) {
        return;
    }
    std::string problem;
    const std::optional<TestJournal> journal =
        ReadJournal(session.Files, path, session.Clients.NumberOfClients(), problem);
    if (!journal) {
        const std::optional<std::string> aside = SetJournalAside(session.Files, path);
        services.messages.show(
            {"The journal of an interrupted test, " + path + ", cannot be used: " + problem +
                 ".\r\n\r\nNothing was taken from it. " +
                 (aside ? "It is kept as " + *aside + "." : "It stays where it is."),
             "Interrupted Test", MsgIcon::Exclamation, MsgButtons::OK});
        return;
    }
    // Offered in the test's own language, as every box of the test is.
    const TestTexts& texts = TextsFor(journal->language);
    const std::string name = Trim(journal->client.Name);
    const MsgAnswer answer = services.messages.show(
        {FillIn(latin1(texts.ResumeText), name.empty() ? latin1(texts.NewClient) : name,
                std::to_string(std::min(journal->reached, TestSpec::ItemCount))),
         latin1(texts.ResumeTitle), MsgIcon::Question, MsgButtons::YesNo});
    if (answer != MsgAnswer::Yes) {
        try {
            session.Files.remove(path);
        } catch (const FileError&) {
            // Offered again at the next start.
        }
        return;
    }
    session.CurrentClient = session.Clients.NewClient(journal->client);
    ShowPresentQA(session, services, journal->language, std::move(askSecretCode), parent,
                  &*journal);
}

}  // namespace qlm
