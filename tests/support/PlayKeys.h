#pragma once

#include <QString>

#include "support/RunModal.h"

namespace qlm::test {

// Plays `keys` on `screen` as a user would: text is typed ("\r" Return, "\t" Tab, "\x1b"
// Escape), "[name]" gives the control `name` the focus, "[click]" clicks the focused control,
// "[close]" closes the window as its title bar does and "[leave]" is the staff's Alt+Shift+F10.
inline void Play(QWidget& screen, const QString& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i] != QLatin1Char('[')) {
            Type(QString(keys[i]));
            continue;
        }
        const qsizetype end = keys.indexOf(QLatin1Char(']'), i);
        const QString name = keys.mid(i + 1, end - i - 1);
        i = end;
        if (name == QLatin1String("click")) {
            QTest::mouseClick(Focused(), Qt::LeftButton);
        } else if (name == QLatin1String("close")) {
            screen.close();
        } else if (name == QLatin1String("leave")) {
            Key(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
        } else if (QWidget* control = Child(&screen, qPrintable(name))) {
            control->setFocus(Qt::TabFocusReason);
        }
    }
}

}  // namespace qlm::test
