#include "ui/CloseGuard.h"

#include <QEvent>
#include <QWidget>

namespace qlm {

Message DiscardTypedQuestion() {
    return {"Discard what was typed on this screen and close it?", "Discard Typed Data",
            MsgIcon::Question, MsgButtons::YesNoDefaultNo};
}

CloseGuard::CloseGuard(QWidget* screen, Messages& messages, std::function<bool()> typed)
    : QObject(screen), m_messages(messages), m_typed(std::move(typed)) {
    screen->installEventFilter(this);
}

bool CloseGuard::eventFilter(QObject* watched, QEvent* event) {
    // A dialog's own accept and reject close it without a close event reaching here.
    if (event->type() == QEvent::Close && m_typed() &&
        m_messages.show(DiscardTypedQuestion()) != MsgAnswer::Yes) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qlm
