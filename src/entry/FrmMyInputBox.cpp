#include "entry/FrmMyInputBox.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

namespace {

// The help texts promise asterisks, whatever the style's own password character is.
class AsteriskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

FrmMyInputBox::FrmMyInputBox(Services& services, QWidget* parent)
    : Screen("frmMyInputBox", QStringLiteral("MyInputBox"), parent), m_services(services) {
    keepOnEscape();
    m_lblHelpMsg = new QLabel(this);
    m_lblHelpMsg->setObjectName(QStringLiteral("lblHelpMsg"));
    m_lblHelpMsg->setWordWrap(true);
    m_txtInput = new QLineEdit(this);
    m_txtInput->setObjectName(QStringLiteral("txtInput"));
    auto* asterisks = new AsteriskStyle;
    asterisks->setParent(this);
    m_txtInput->setStyle(asterisks);
    m_txtInput->installEventFilter(this);
    m_lblHelpMsg->setBuddy(m_txtInput);
    m_lblWait = new QLabel(this);
    m_lblWait->setObjectName(QStringLiteral("lblWait"));
    m_lblWait->hide();
    m_timWait = new QTimer(this);
    m_timWait->setInterval(250);
    connect(m_timWait, &QTimer::timeout, this, &FrmMyInputBox::countDown);

    auto* choices = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* choice = new MenuChoice(
            i, i == OkChoice ? QStringLiteral("Information OK") : QStringLiteral("Cancel Input"),
            this);
        choices->addWidget(choice);
        m_choices[static_cast<std::size_t>(i)] = choice;
    }
    connect(m_choices[OkChoice]->button(), &QPushButton::clicked, this,
            &FrmMyInputBox::informationOK);
    connect(m_choices[CancelChoice]->button(), &QPushButton::clicked, this,
            &FrmMyInputBox::cancelInput);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblHelpMsg);
    layout->addWidget(m_txtInput);
    layout->addWidget(m_lblWait);
    layout->addLayout(choices);
    setTabOrder(m_txtInput, m_choices[OkChoice]->button());
    setTabOrder(m_choices[OkChoice]->button(), m_choices[CancelChoice]->button());
    resize(460, 180);
}

int FrmMyInputBox::exec() {
    // Loading and activation: every use starts afresh from the properties as set.
    if (!isMaximized()) {
        CenterForm(this);
    }
    m_cancelled = false;
    m_txtInput->clear();
    m_txtInput->setMaxLength(m_inputLength > 0 ? m_inputLength : 32767);
    m_lblHelpMsg->setText(FromLatin1(m_helpMessage));
    m_txtInput->setEchoMode(m_passwordInput ? QLineEdit::Password : QLineEdit::Normal);
    ClearShpButtonColor(this, CancelChoice);
    m_txtInput->setFocus(Qt::OtherFocusReason);
    countDown();
    return QDialog::exec();
}

void FrmMyInputBox::countDown() {
    const auto left = std::chrono::ceil<std::chrono::seconds>(m_waitUntil - m_services.clock.Now());
    const bool waiting = left.count() > 0;
    const bool waited = !m_txtInput->isEnabled();
    m_txtInput->setEnabled(!waiting);
    m_choices[OkChoice]->button()->setEnabled(!waiting);
    m_lblWait->setVisible(waiting);
    if (waiting) {
        const auto seconds = static_cast<int>(left.count());
        m_lblWait->setText(
            QStringLiteral("Too many wrong codes: wait %1 second%2 before the next try.")
                .arg(seconds)
                .arg(seconds == 1 ? "" : "s"));
        m_timWait->start();
    } else {
        m_timWait->stop();
        if (waited) {
            m_txtInput->setFocus(Qt::OtherFocusReason);
        }
    }
}

bool FrmMyInputBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtInput && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_choices[OkChoice]->button()->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmMyInputBox::informationOK() {
    if (m_txtInput->text().isEmpty()) {
        m_services.messages.show({m_passwordInput ? "Please enter the required secret code."
                                                  : "Please enter the required data.",
                                  "Input required", MsgIcon::Question, MsgButtons::OK});
        m_txtInput->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_inputValue = ToLatin1(m_txtInput->text()).value_or("");
    finish(QDialog::Accepted);
}

void FrmMyInputBox::cancelInput() {
    m_cancelled = true;
    finish(QDialog::Rejected);
}

void FrmMyInputBox::reject() {
    cancelInput();
}

void FrmMyInputBox::finish(int result) {
    m_passwordInput = false;
    m_waitUntil = {};
    m_timWait->stop();
    done(result);
}

}  // namespace qlm
