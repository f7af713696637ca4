#pragma once

#include <QObject>
#include <functional>

#include "ui/Messages.h"

class QWidget;

namespace qlm {

// The question asked before typed data is thrown away by closing its window.
Message DiscardTypedQuestion();

// Watches a screen for the window manager's close (Alt+F4, the title bar's button): once
// `typed` says something was entered, the close asks first and No keeps the screen as it is;
// otherwise the screen closes as its Cancel does. The screen's own accept and reject never
// ask.
class CloseGuard : public QObject {
public:
    CloseGuard(QWidget* screen, Messages& messages, std::function<bool()> typed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Messages& m_messages;
    std::function<bool()> m_typed;
};

}  // namespace qlm
