#include "ui/MenuChoice.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/ScreenOps.h"

namespace qlm {

MenuChoiceButton::MenuChoiceButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

void MenuChoiceButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
            QPushButton::keyPressEvent(event);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            click();
            return;
        case Qt::Key_Down:
        case Qt::Key_Right:
            event->accept();
            focusNextPrevChild(true);
            return;
        case Qt::Key_Up:
        case Qt::Key_Left:
            event->accept();
            focusNextPrevChild(false);
            return;
        case Qt::Key_Escape:
            // The screen's: a dialog closes as by its way out, unless it keeps Escape away.
            event->ignore();
            return;
        default:
            event->accept();
    }
}

void MenuChoiceButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        QPushButton::keyReleaseEvent(event);
    } else {
        event->accept();
    }
}

void MenuChoiceButton::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    emit focusChanged(true);
}

void MenuChoiceButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    emit focusChanged(false);
}

MenuChoice::MenuChoice(int index, const QString& caption, QWidget* parent) : QFrame(parent) {
    setObjectName(panelName(index));
    build(caption);
    m_button->setObjectName(buttonName(index));
}

MenuChoice::MenuChoice(int index, const MenuChoiceText& text, QLabel* msgPanel, QWidget* parent)
    : MenuChoice(index, QString::fromLatin1(text.caption), parent) {
    setPrompt(msgPanel, QString::fromLatin1(text.prompt));
}

MenuChoice::MenuChoice(const QString& panelName, const QString& buttonName, const QString& caption,
                       QWidget* parent)
    : QFrame(parent) {
    setObjectName(panelName);
    build(caption);
    m_button->setObjectName(buttonName);
}

// The base class deletes the button after this part of the panel is gone, and the button may
// lose the focus then: its signal must no longer reach the panel.
MenuChoice::~MenuChoice() {
    m_button->disconnect(this);
}

QString MenuChoice::panelName(int index) {
    return QStringLiteral("sspMenuChoice_%1").arg(index);
}

QString MenuChoice::buttonName(int index) {
    return QStringLiteral("cmdMenuChoice_%1").arg(index);
}

void MenuChoice::build(const QString& caption) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    m_button = new MenuChoiceButton(caption, this);
    m_button->setMinimumHeight(30);
    layout->addWidget(m_button);
    setFocusProxy(m_button);
    connect(m_button, &MenuChoiceButton::focusChanged, this, [this](bool in) {
        setHighlighted(in);
        if (in && m_msgPanel != nullptr && !m_prompt.isEmpty()) {
            m_msgPanel->setText(m_prompt);
        }
    });
    setHighlighted(false);
}

void MenuChoice::setHighlighted(bool on) {
    m_highlighted = on;
    SetColours(this, on ? Cyan : Blue, Black);
    SetBold(m_button, on);
}

void MenuChoice::setPrompt(QLabel* msgPanel, const QString& prompt) {
    m_msgPanel = msgPanel;
    m_prompt = prompt;
}

}  // namespace qlm
