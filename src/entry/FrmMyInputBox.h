#pragma once

#include <array>
#include <chrono>
#include <string>

#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QTimer;

namespace qlm {

class MenuChoice;
struct Services;

// The program's own box for one line of text, worked from the keyboard like every screen: the
// caller sets the help text, the length and whether the input is secret, shows it, then reads
// whether it was cancelled and what was typed.
class FrmMyInputBox : public Screen {
    Q_OBJECT

public:
    explicit FrmMyInputBox(Services& services, QWidget* parent = nullptr);

    bool PasswordInput() const { return m_passwordInput; }
    void SetPasswordInput(bool on) { m_passwordInput = on; }
    int InputLength() const { return m_inputLength; }
    void SetInputLength(int length) { m_inputLength = length; }
    const std::string& HelpMessage() const { return m_helpMessage; }
    void SetHelpMessage(std::string text) { m_helpMessage = std::move(text); }
    // Input is refused until `until` (on the services' clock), the wait counted down in the box.
    void SetWaitUntil(std::chrono::steady_clock::time_point until) { m_waitUntil = until; }
    const std::string& InputValue() const { return m_inputValue; }
    bool Cancelled() const { return m_cancelled; }

    // The choice "Cancel Input", which the secret code prompt of the on-screen test hides.
    MenuChoice* cancelChoice() const { return m_choices[CancelChoice]; }

    // Shows the box modally with the properties as set.
    int exec() override;

public slots:
    // Closing the window is "Cancel Input", so that an earlier value is never taken for a new one.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void informationOK();
    void cancelInput();
    void finish(int result);
    void countDown();

    Services& m_services;
    bool m_passwordInput = false;
    int m_inputLength = 0;
    std::string m_helpMessage;
    std::string m_inputValue;
    bool m_cancelled = false;
    std::chrono::steady_clock::time_point m_waitUntil{};

    QLabel* m_lblHelpMsg = nullptr;
    QLabel* m_lblWait = nullptr;
    QTimer* m_timWait = nullptr;
    QLineEdit* m_txtInput = nullptr;
    std::array<MenuChoice*, 2> m_choices{};
};

}  // namespace qlm
