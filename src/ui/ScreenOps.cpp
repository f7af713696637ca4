#include "ui/ScreenOps.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>

#include "ui/MenuChoice.h"

namespace qlm {

QColor FromBGR(unsigned bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void CenterForm(QWidget* screen) {
    const QScreen* display =
        screen->screen() != nullptr ? screen->screen() : QGuiApplication::primaryScreen();
    if (display == nullptr) {
        return;
    }
    const QRect area = display->availableGeometry();
    const QSize size = screen->frameSize();
    screen->move(area.left() + area.width() / 2 - size.width() / 2,
                 area.top() + area.height() / 2 - size.height() / 2);
}

void MOUSEWAIT() {
    if (QApplication::overrideCursor() != nullptr) {
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    QCoreApplication::processEvents();
}

void MOUSEDEFAULT() {
    while (QApplication::overrideCursor() != nullptr) {
        QApplication::restoreOverrideCursor();
    }
    QCoreApplication::processEvents();
}

void ClearShpButtonColor(QWidget* screen, int n) {
    for (int i = 0; i <= n; ++i) {
        if (auto* choice = screen->findChild<MenuChoice*>(MenuChoice::panelName(i))) {
            choice->setHighlighted(false);
        }
    }
}

void SelectAllText() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        edit->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit()) {
        combo->lineEdit()->selectAll();
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(focus)) {
        spin->selectAll();
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        text->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        plain->selectAll();
    }
}

void ClearInfoLabelBold(QWidget* screen, int n) {
    for (int k = 0; k <= n; ++k) {
        if (auto* label = screen->findChild<QLabel*>(QStringLiteral("lblInfo_%1").arg(k))) {
            SetBold(label, false);
        }
    }
}

void SetInfoLabelBold(QWidget* screen, int n, int i) {
    ClearInfoLabelBold(screen, n);
    if (auto* label = screen->findChild<QLabel*>(QStringLiteral("lblInfo_%1").arg(i))) {
        SetBold(label, true);
    }
}

void SetBold(QWidget* widget, bool bold) {
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

void SetColours(QWidget* widget, unsigned background, unsigned foreground) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, FromBGR(background));
    palette.setColor(QPalette::WindowText, FromBGR(foreground));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* MakeMsgPanel(QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QStringLiteral("MsgPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMinimumHeight(28);
    // A long prompt wraps instead of widening its screen past the display.
    panel->setWordWrap(true);
    panel->setMargin(4);
    return panel;
}

QLabel* MakeClientNameLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblClientName"));
    SetBold(label, true);
    return label;
}

}  // namespace qlm
