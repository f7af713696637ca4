#pragma once

#include <QColor>

class QLabel;
class QWidget;

namespace qlm {

// Colours as the screens name them, in the 0xBBGGRR form (blue in the high byte).
inline constexpr unsigned Blue = 0xFF0000;
inline constexpr unsigned Cyan = 0xFFFF00;
inline constexpr unsigned White = 0xFFFFFF;
inline constexpr unsigned Black = 0x000000;
QColor FromBGR(unsigned bgr);

// Centres `screen` on the display it is on.
void CenterForm(QWidget* screen);
// The busy pointer, then pending events run so that it shows at once.
void MOUSEWAIT();
// The normal pointer again, however often the busy one was asked for.
void MOUSEDEFAULT();
// The busy pointer for as long as the guard lives, but for the stretches between done() and
// resume() (while a dialog waits for the user).
class BusyPointer {
public:
    BusyPointer() { MOUSEWAIT(); }
    ~BusyPointer() { done(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void done() {
        if (m_busy) {
            m_busy = false;
            MOUSEDEFAULT();
        }
    }
    void resume() {
        if (!m_busy) {
            m_busy = true;
            MOUSEWAIT();
        }
    }

private:
    bool m_busy = true;
};
// Choices 0 to n of `screen` (n included) without highlight.
void ClearShpButtonColor(QWidget* screen, int n);
// Selects the whole text of the focused control; a control without text is left alone.
void SelectAllText();
// Caption labels lblInfo 0 to n of `screen` in normal weight.
void ClearInfoLabelBold(QWidget* screen, int n);
// Caption labels 0 to n in normal weight, then label i bold.
void SetInfoLabelBold(QWidget* screen, int n, int i);

// The one-line panel at the foot of a screen that prompts for the focused control.
QLabel* MakeMsgPanel(QWidget* parent);
// The bold label that names the client being worked on.
QLabel* MakeClientNameLabel(QWidget* parent);

// A widget's font in bold or normal weight.
void SetBold(QWidget* widget, bool bold);
// A widget's own background and foreground.
void SetColours(QWidget* widget, unsigned background, unsigned foreground);

}  // namespace qlm
