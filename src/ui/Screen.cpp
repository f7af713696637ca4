#include "ui/Screen.h"

#include <QKeyEvent>

#include "ui/ScreenOps.h"

namespace qlm {

Screen::Screen(const char* name, const QString& title, QWidget* parent, bool modal)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(title);
    setModal(modal);
}

void Screen::keyPressEvent(QKeyEvent* event) {
    if (m_keepOnEscape && event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Screen::showEvent(QShowEvent* event) {
    // Centred once its size is known, before the window system places it.
    if (!m_shown && !isMaximized()) {
        CenterForm(this);
    }
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        firstShown();
    }
}

}  // namespace qlm
