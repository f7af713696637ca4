#pragma once

#include <QDialog>

namespace qlm {

// What every screen shares: its name for tests and screen readers, its caption, modality, and
// centring with its own first-show work when it first comes up.
class Screen : public QDialog {
    Q_OBJECT

public:
    // The two choices of a screen that takes what was typed or gives it up.
    static constexpr int OkChoice = 0;
    static constexpr int CancelChoice = 1;

    Screen(const char* name, const QString& title, QWidget* parent, bool modal = true);

protected:
    // Escape no longer closes the screen: it would drop what was typed, which only the
    // screen's own Cancel may do.
    void keepOnEscape() { m_keepOnEscape = true; }
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Runs once, when the screen is first shown (a secret code prompt closing over it must not
    // start its work over).
    virtual void firstShown() {}

private:
    bool m_shown = false;
    bool m_keepOnEscape = false;
};

}  // namespace qlm
