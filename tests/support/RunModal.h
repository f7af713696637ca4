#pragma once

#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace qlm::test {

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

}  // namespace qlm::test
