#pragma once

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace qlm::test {

// The control `name` of `screen`; a missing one fails the test.
template <typename T = QWidget>
T* Child(QWidget* screen, const char* name) {
    auto* widget = screen->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        QTest::qFail(name, __FILE__, __LINE__);
    }
    return widget;
}

inline QWidget* Focused() {
    return QApplication::focusWidget();
}
inline QString FocusName() {
    return Focused() != nullptr ? Focused()->objectName() : QString();
}
// A key to the focused control, or to the active window when none has the focus.
inline void Key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focused() != nullptr ? Focused() : QApplication::activeWindow(), k, modifiers);
}
// Types `text` into the focused control; characters beyond ASCII come as the key events of an
// input method would.
inline void Type(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(Focused(), c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, Focused(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, Focused(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

// The screen's menu choice `i` and the text of its message panel.
inline QPushButton* Choice(QWidget& screen, int i) {
    return screen.findChild<QPushButton*>(QStringLiteral("cmdMenuChoice_%1").arg(i));
}
inline QString MsgPanel(QWidget& screen) {
    return screen.findChild<QLabel*>(QStringLiteral("MsgPanel"))->text();
}

// What exec() returns for a screen that the driving code left open.
inline constexpr int StillOpen = 99;

// Runs `screen` modally with `drive` inside its event loop; a screen that `drive` left open is
// closed with StillOpen, so that a failed check never hangs the test.
inline int RunModal(QDialog& screen, const std::function<void()>& drive) {
    QTimer::singleShot(0, &screen, [&] {
        if (QTest::qWaitForWindowActive(&screen)) {
            drive();
        } else {
            QTest::qFail("the screen did not become active", __FILE__, __LINE__);
        }
        if (screen.isVisible()) {
            screen.done(StillOpen);
        }
    });
    return screen.exec();
}

// Runs `act` on the next modal screen of type T once it is up and active (polling, so that it
// also finds a screen opened later by the code under test), and closes a screen `act` left
// open, so that a failed check never hangs the test.
template <typename T = QDialog>
void OnModal(std::function<void(T&)> act, int triesLeft = 300) {
    QTimer::singleShot(10, [act = std::move(act), triesLeft]() mutable {
        auto* screen = qobject_cast<T*>(QApplication::activeModalWidget());
        if (screen == nullptr || !screen->isActiveWindow()) {
            if (triesLeft > 0) {
                OnModal<T>(std::move(act), triesLeft - 1);
            } else {
                QTest::qFail("the screen did not come up", __FILE__, __LINE__);
            }
            return;
        }
        act(*screen);
        if (screen->isVisible()) {
            screen->done(StillOpen);
        }
    });
}

}  // namespace qlm::test
