#include "testing/FrmSelectLanguage.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "session/Operations.h"
#include "session/Session.h"
#include "testing/QuestionBank.h"
#include "ui/MenuChoice.h"
#include "ui/ScreenOps.h"

namespace qlm {

namespace {

constexpr std::array<const char*, 3> DesignCaptions{"One", "Two", "Three"};

}  // namespace

FrmSelectLanguage::FrmSelectLanguage(Session& session, Services&, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("frmSelectLanguage"));
    setWindowTitle(QStringLiteral("Select Presentation Language"));
    setModal(true);
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

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(frame, 0, Qt::AlignHCenter);
    layout->addStretch(3);
    layout->addWidget(m_msgPanel);
    resize(560, 360);
    if (!isMaximized()) {
        CenterForm(this);
    }
}

int FrmSelectLanguage::LanguageCount() {
    const QuestionBank bank(m_session.QuestionBankPath);
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
        ++n;
    }
    return n;
}

void FrmSelectLanguage::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ClearShpButtonColor(this, CancelChoice);
    m_choices.front()->button()->setFocus(Qt::OtherFocusReason);
}

void FrmSelectLanguage::runChoice(int index) {
    if (index < CancelChoice) {
        m_language = m_choices[static_cast<std::size_t>(index)]->button()->text().toStdString();
        m_session.ContinueEntry = true;
        accept();
        return;
    }
    DropUnsavedClient(m_session);
    m_session.ContinueEntry = false;
    QDialog::reject();
}

void FrmSelectLanguage::reject() {
    runChoice(CancelChoice);
}

}  // namespace qlm
