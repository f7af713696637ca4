#include "answersheet/FrmVerify.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "scoring/TestSpec.h"
#include "session/CheckedSave.h"
#include "session/Session.h"
#include "ui/CloseGuard.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

constexpr const char* EntryPrompt =
    "Enter response data from answer sheet. Press Backspace for previous question.";
constexpr const char* CancelPrompt =
    "Press Enter to Cancel Data Verification and return to Main Menu";
constexpr const char* RetryAdvice =
    "Press Enter to save them again once the data disk is back, or Cancel to discard them.";
constexpr const char* UnsavedPrompt =
    "The verified answers are not saved. Press Enter to save them again, or Cancel to discard "
    "them.";

QString questionLabel(int item) {
    return QStringLiteral("Question #%1").arg(item);
}

const ClientRecord& currentRecord(const Session& session) {
    return session.current();
}

}  // namespace

FrmVerify::FrmVerify(Session& session, Services& services, QWidget* parent)
    : Screen("frmVerify", QStringLiteral("Data Verification"), parent),
      m_session(session),
      m_services(services),
      m_verification(currentRecord(session).Answers, TestSpec::TrueFalseItemCount) {
    keepOnEscape();
    buildScreen();
    m_frame1->setVisible(false);
    showPosition();
    m_pnlMessage->setText(QString::fromLatin1(EntryPrompt));
    new CloseGuard(this, m_services.messages, [this] { return m_typed; });
    resize(520, 360);
}

void FrmVerify::buildScreen() {
    m_frAll = new QGroupBox(QStringLiteral("Data Verification"), this);
    m_frAll->setObjectName(QStringLiteral("frAll"));

    auto* frame2 = new QGroupBox(QStringLiteral("Current Question"), m_frAll);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_lblCurQuestion = new QLabel(frame2);
    m_lblCurQuestion->setObjectName(QStringLiteral("lblCurQuestion"));
    m_txtCurQuestion = new QLineEdit(frame2);
    m_txtCurQuestion->setObjectName(QStringLiteral("txtCurQuestion"));
    m_txtCurQuestion->setMaxLength(1);
    m_txtCurQuestion->setFixedWidth(40);
    m_txtCurQuestion->installEventFilter(this);
    m_lblCurQuestion->setBuddy(m_txtCurQuestion);
    auto* current = new QHBoxLayout(frame2);
    current->addWidget(m_lblCurQuestion);
    current->addWidget(m_txtCurQuestion);

    m_frame1 = new QGroupBox(QStringLiteral("Previous Question"), m_frAll);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_lblPrevQuestion = new QLabel(m_frame1);
    m_lblPrevQuestion->setObjectName(QStringLiteral("lblPrevQuestion"));
    m_txtPrevQuestion = new QLineEdit(m_frame1);
    m_txtPrevQuestion->setObjectName(QStringLiteral("txtPrevQuestion"));
    m_txtPrevQuestion->setReadOnly(true);
    m_txtPrevQuestion->setFocusPolicy(Qt::NoFocus);
    m_txtPrevQuestion->setFixedWidth(40);
    m_lblPrevQuestion->setBuddy(m_txtPrevQuestion);
    auto* previous = new QHBoxLayout(m_frame1);
    previous->addWidget(m_lblPrevQuestion);
    previous->addWidget(m_txtPrevQuestion);

    m_pnlMessage = MakeMsgPanel(this);
    m_pnlMessage->setObjectName(QStringLiteral("pnlMessage"));

    auto* cancel = new MenuChoiceButton(QStringLiteral("Cancel"), m_frAll);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel = cancel;
    connect(cancel, &MenuChoiceButton::focusChanged, this, [this](bool in) {
        if (in) {
            m_pnlMessage->setText(QString::fromLatin1(CancelPrompt));
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* frames = new QVBoxLayout(m_frAll);
    frames->addWidget(frame2);
    frames->addWidget(m_frame1);
    frames->addWidget(m_cmdCancel, 0, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_frAll, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(m_pnlMessage);
    setTabOrder(m_txtCurQuestion, m_cmdCancel);
}

void FrmVerify::showPosition() {
    const Verification& v = m_verification;
    m_lblCurQuestion->setText(questionLabel(v.currentItem()));
    const int previous = v.previousItem();
    // Shown from a pass's second item on; Backspace to the first item only empties it.
    if (previous != 0) {
        m_frame1->setVisible(true);
    }
    m_lblPrevQuestion->setText(previous != 0 ? questionLabel(previous) : QString());
    m_txtPrevQuestion->setText(previous != 0 ? QString(QLatin1Char(v.entered(previous)))
                                             : QString());
    m_txtCurQuestion->clear();
}

bool FrmVerify::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtCurQuestion && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = key->key();
        if (code >= Qt::Key_Left && code <= Qt::Key_Down) {
            m_services.messages.beep();
            return true;
        }
        if (code >= Qt::Key_F1 && code <= Qt::Key_F35) {
            // No answer; the window may still have a use for it.
            m_services.messages.beep();
            return false;
        }
        if (code == Qt::Key_Tab || code == Qt::Key_Backtab || key->text().isEmpty()) {
            return false;
        }
        entryKey(key);
        return true;
    }
    if (watched == m_txtCurQuestion && event->type() == QEvent::FocusIn) {
        m_pnlMessage->setText(QString::fromLatin1(m_unsaved ? UnsavedPrompt : EntryPrompt));
    }
    return QDialog::eventFilter(watched, event);
}

void FrmVerify::entryKey(const QKeyEvent* key) {
    if (m_unsaved) {
        // Every item is entered; only saving is left to do.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            finish(*m_unsaved);
        } else {
            m_services.messages.beep();
        }
        return;
    }
    if (key->key() == Qt::Key_Backspace) {
        if (!m_verification.backspace()) {
            m_services.messages.beep();
        }
        showPosition();
        return;
    }
    const char typed = key->text().size() == 1 ? key->text().front().toLatin1() : '\0';
    const VerifyStep step = m_verification.type(typed);
    m_typed = m_typed || step != VerifyStep::Refused;
    switch (step) {
        case VerifyStep::Refused:
            m_services.messages.beep();
            return;
        case VerifyStep::Next:
            showPosition();
            return;
        case VerifyStep::CorrectionsNeeded:
            m_services.messages.show(
                {"Data Correction needed. Please correct the following questions.",
                 "Data Corrections", MsgIcon::None, MsgButtons::OK});
            m_frame1->setVisible(false);
            showPosition();
            m_txtCurQuestion->setFocus(Qt::OtherFocusReason);
            return;
        case VerifyStep::NoCorrections:
        case VerifyStep::Complete:
            finish(step);
            return;
    }
}

void FrmVerify::finish(VerifyStep end) {
    const bool corrected = end == VerifyStep::Complete;
    const int n = m_session.CurrentClient;
    ClientRecord& client = m_session.Clients.entry(n);
    const ClientRecord before = client;
    if (corrected) {
        client.set(&ClientRecord::Answers, m_verification.EntryString());
    }
    // The verified answers are said to be complete only once they are on the disk.
    BusyPointer busy;
    const bool saved =
        SaveClientChecked(m_session, m_services.messages, n, before,
                          {"The verified answers", RetryAdvice}, AccessAction::Verify);
    busy.done();
    if (!saved) {
        // The second entry and its corrections stay for another try.
        m_unsaved = end;
        m_pnlMessage->setText(QString::fromLatin1(UnsavedPrompt));
        m_txtCurQuestion->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_unsaved.reset();
    if (corrected) {
        m_services.messages.show(
            {"Data Verification complete.", "Data Verification", MsgIcon::None, MsgButtons::OK});
    } else {
        m_services.messages.show({"Data Verification complete. No corrections needed.",
                                  "Data Verification.", MsgIcon::None, MsgButtons::OK});
    }
    done(QDialog::Accepted);
}

}  // namespace qlm
