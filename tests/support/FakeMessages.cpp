#include "support/FakeMessages.h"

#include <QtTest>

namespace qlm::test {

MsgAnswer FakeMessages::show(const Message& message) {
    shown.push_back(message);
    if (m_answers.empty()) {
        QTest::qFail(("message box with no answer queued: " + message.text).c_str(), __FILE__,
                     __LINE__);
        switch (message.buttons) {
            case MsgButtons::OKCancel:
                return MsgAnswer::Cancel;
            case MsgButtons::YesNo:
            case MsgButtons::YesNoDefaultNo:
                return MsgAnswer::No;
            case MsgButtons::OK:
                break;
        }
        return MsgAnswer::OK;
    }
    const MsgAnswer next = m_answers.front();
    m_answers.pop_front();
    return next;
}

}  // namespace qlm::test
