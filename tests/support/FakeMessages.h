#pragma once

#include <deque>
#include <vector>

#include "ui/Messages.h"

namespace qlm::test {

// Messages for tests: each box takes the next queued answer and is logged. A box with no
// answer queued fails the test at once and is answered with its way out (Cancel, No or OK),
// so that a test never hangs on a box nobody will close.
class FakeMessages : public Messages {
public:
    FakeMessages& answer(MsgAnswer next) {
        m_answers.push_back(next);
        return *this;
    }

    MsgAnswer show(const Message& message) override;
    void beep() override { ++beeps; }

    std::vector<Message> shown;
    int beeps = 0;
    bool answered() const { return m_answers.empty(); }

private:
    std::deque<MsgAnswer> m_answers;
};

}  // namespace qlm::test
