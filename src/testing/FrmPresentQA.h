#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "testing/Presentation.h"
#include "testing/TestJournal.h"
#include "testing/TestTexts.h"
#include "ui/Messages.h"
#include "ui/Screen.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace qlm {

class MenuChoice;
struct Services;
struct Session;

// The test on screen: the instructions, then one item at a time with its choices, spoken when
// sound is available. The answers reach the client's record and the file only at the end,
// after which the supervisor's secret code closes the screen.
class FrmPresentQA : public Screen {
    Q_OBJECT

public:
    static constexpr int ChoiceCount = 5;

    // `askSecretCode` asks for the supervisor's code without a way to cancel: true once given.
    FrmPresentQA(Session& session, Services& services, std::string language,
                 QuestionBankRecordset records, std::function<bool()> askSecretCode,
                 QWidget* parent = nullptr);

    // Copies every answer as it is given into the journal at `path`, so that an interrupted
    // test can be taken up again; the journal goes once the answers are saved or given up.
    void keepJournal(std::string path) { m_journalPath = std::move(path); }
    // Takes up an interrupted test where it stopped.
    void resume(const TestJournal& journal);

    const std::string& Language() const { return m_language; }
    const Presentation& presentation() const { return m_presentation; }
    // True once the answers are in the client file.
    bool answersSaved() const { return m_saved; }
    // Large print: the window fills the screen and its text is twice the size.
    bool largePrint() const { return m_largePrint; }
    void setLargePrint(bool on);

public slots:
    // Closing the window asks first, because it loses every answer not yet saved.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void firstShown() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildScreen();
    void TestInstructions(int section);
    void dismissInstructions();
    void showItem();
    void GetNextQuestion();
    void goBack();
    void abandon();
    void choose(int i);
    void endOfTest();
    bool storeAnswers();
    void focusQuestion();
    void focusChoice(int i);
    // The visible choice after (step 1) or before (step -1) choice i; -1 past either end.
    int visibleChoice(int i, int step) const;
    bool choiceKey(int i, const QKeyEvent* key);
    // The keys the screen sees before its controls: F10, Shift+Alt+F10, Ctrl+plus and minus.
    bool formKey(const QKeyEvent* key);
    void setQuestionColours(unsigned background, unsigned text);
    void showPrompt(const char* text);
    void showBox(const char* title, const std::string& text, MsgIcon icon);
    void PlayAudio(const std::string& name);
    void StopAudio();
    void writeJournal();
    void removeJournal();

    Session& m_session;
    Services& m_services;
    std::string m_language;
    const TestTexts& m_texts;
    Presentation m_presentation;
    std::function<bool()> m_askSecretCode;
    std::string m_journalPath;
    bool m_audioEnabled = false;
    bool m_generalInstructionsPending = false;
    bool m_testEnded = false;
    bool m_saved = false;
    bool m_leaving = false;
    bool m_largePrint = false;

    QGroupBox* m_fraInstructions = nullptr;
    QPlainTextEdit* m_txtInstructions = nullptr;
    QLabel* m_lblSpokenPrompts = nullptr;
    QFrame* m_frQandA = nullptr;
    QGroupBox* m_fraQuestions = nullptr;
    QPlainTextEdit* m_txtQuestion = nullptr;
    QGroupBox* m_fraAnswer = nullptr;
    std::array<MenuChoice*, ChoiceCount> m_choices{};
    std::array<QLineEdit*, ChoiceCount> m_txtButtonText{};
    QLabel* m_msgPanel = nullptr;
};

// Presents the test in `language` for the current client; a question bank that cannot be read
// is said, and the new client is dropped.
void ShowPresentQA(Session& session, Services& services, const std::string& language,
                   std::function<bool()> askSecretCode, QWidget* parent,
                   const TestJournal* resumeFrom = nullptr);

// At start-up: a test that was interrupted is offered to be taken up again. A journal that is
// damaged or does not belong to this client file is said and kept aside, never applied.
void OfferToResumeTest(Session& session, Services& services, std::function<bool()> askSecretCode,
                       QWidget* parent);

}  // namespace qlm
