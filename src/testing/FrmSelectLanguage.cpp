#include "testing/FrmSelectLanguage.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "session/Operations.h"
#include "session/Session.h"
#include "testing/EntrySequence.h"
#include "testing/QuestionBank.h"
#include "testing/SoundFiles.h"
#include "ui/MenuChoice.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

constexpr std::array<const char*, 3> DesignCaptions{"One", "Two", "Three"};

// Told to the staff per language, before the juvenile starts.
constexpr const char* SpokenIn = "Spoken prompts in %1 are on.";
constexpr const char* NoSoundFilesIn =
    "Spoken prompts in %1 are off because no sound files were found.";

}  // namespace

FrmSelectLanguage::FrmSelectLanguage(Session& session, Services& services, QWidget* parent)
    : Screen("frmSelectLanguage", QStringLiteral("Select Presentation Language"), parent),
      m_session(session),
      m_services(services) {
    m_msgPanel = MakeMsgPanel(this);

    auto* frame = new QGroupBox(QStringLiteral("Select Language to Present"), this);
    frame->setObjectName(QStringLiteral("fraSelectMethod"));
    frame->setFixedWidth(320);
    auto* choices = new QVBoxLayout(frame);
    for (int i = 0; i < 4; ++i) {
        const QString caption = i < CancelChoice ? QString::fromLatin1(DesignCaptions.at(i))
                                                 : QStringLiteral("Cancel Presentation");
        auto* choice = new MenuChoice(i, caption, frame);
        choice->setPrompt(m_msgPanel, i < CancelChoice ? QStringLiteral("Present in ") + caption
                                                       : QStringLiteral("Cancel presentation"));
        connect(choice->button(), &QPushButton::clicked, this, [this, i] { runChoice(i); });
        choice->setVisible(i == CancelChoice);
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
    }

    m_lblSpokenPrompts = new QLabel(this);
    m_lblSpokenPrompts->setObjectName(QStringLiteral("lblSpokenPrompts"));
    m_lblSpokenPrompts->setAlignment(Qt::AlignHCenter);
    m_lblSpokenPrompts->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(frame, 0, Qt::AlignHCenter);
    layout->addWidget(m_lblSpokenPrompts);
    layout->addStretch(3);
    layout->addWidget(m_msgPanel);
    resize(560, 360);
}

int FrmSelectLanguage::LanguageCount() {
    const QuestionBank bank(m_session.QuestionBankPath);
    const bool device = m_services.audio.available();
    QStringList spoken;
    int n = 0;
    for (const std::string& table : bank.languages()) {
        if (n == CancelChoice) {
            break;
        }
        MenuChoice* choice = m_choices[static_cast<std::size_t>(n)];
        const QString caption = QString::fromStdString(table);
        choice->button()->setText(caption);
        choice->setPrompt(m_msgPanel, QStringLiteral("Present in ") + caption);
        choice->setVisible(true);
        const SpokenPrompts prompts =
            SpokenPromptsFor(device, m_session.Files, m_session.SoundPath, table);
        spoken << QString::fromStdString(
            FillIn(prompts == SpokenPrompts::On ? SpokenIn : NoSoundFilesIn, table));
        ++n;
    }
    if (!device && n > 0) {
        spoken = QStringList{QString::fromUtf8(
            TextsFor(DefaultLanguage).Spoken[static_cast<std::size_t>(SpokenPrompts::NoDevice)])};
    }
    m_lblSpokenPrompts->setText(spoken.join(QLatin1Char('\n')));
    return n;
}

void FrmSelectLanguage::firstShown() {
    ClearShpButtonColor(this, CancelChoice);
    m_choices.front()->button()->setFocus(Qt::OtherFocusReason);
}

std::optional<std::string> FrmSelectLanguage::chooseLanguage() {
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return m_language;
}

void FrmSelectLanguage::runChoice(int index) {
    if (index < CancelChoice) {
        m_language = m_choices[static_cast<std::size_t>(index)]->button()->text().toStdString();
        accept();
        return;
    }
    DropUnsavedClient(m_session);
    QDialog::reject();
}

void FrmSelectLanguage::reject() {
    runChoice(CancelChoice);
}

}  // namespace qlm
