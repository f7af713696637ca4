#pragma once

#include <QFrame>
#include <QPushButton>

class QLabel;

namespace qlm {

// The button of a menu choice: only Space reaches the button, Enter runs the choice as a
// click does, the arrow keys move the focus along the tab order, Escape goes to the screen,
// every other key is dropped.
class MenuChoiceButton : public QPushButton {
    Q_OBJECT

public:
    explicit MenuChoiceButton(const QString& caption, QWidget* parent = nullptr);

signals:
    void focusChanged(bool in);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// A choice's caption and the prompt its focus shows, as a screen's table of choices lists them.
struct MenuChoiceText {
    const char* caption;
    const char* prompt;
};

// A menu choice: its button drawn inside its highlight panel. With the focus the panel is cyan
// and the caption bold, and the screen's prompt for the choice shows in its message panel;
// without it the panel is blue and the caption normal.
class MenuChoice : public QFrame {
    Q_OBJECT

public:
    // Named sspMenuChoice_<index> / cmdMenuChoice_<index>.
    MenuChoice(int index, const QString& caption, QWidget* parent = nullptr);
    // Choice `index` with its caption and prompt, the prompt shown in `msgPanel`.
    MenuChoice(int index, const MenuChoiceText& text, QLabel* msgPanel, QWidget* parent);
    // A single choice with names of its own (the about box's "OK").
    MenuChoice(const QString& panelName, const QString& buttonName, const QString& caption,
               QWidget* parent = nullptr);
    ~MenuChoice() override;

    static QString panelName(int index);
    static QString buttonName(int index);

    MenuChoiceButton* button() const { return m_button; }
    bool highlighted() const { return m_highlighted; }
    void setHighlighted(bool on);
    // The prompt shown in `msgPanel` when the choice takes the focus; an empty prompt leaves
    // the panel as it is.
    void setPrompt(QLabel* msgPanel, const QString& prompt);

private:
    void build(const QString& caption);

    MenuChoiceButton* m_button = nullptr;
    QLabel* m_msgPanel = nullptr;
    QString m_prompt;
    bool m_highlighted = false;
};

}  // namespace qlm
