#pragma once

#include "ui/Messages.h"

namespace qlm {

// Messages shown with the toolkit's standard message box and the system beep.
class QtMessages : public Messages {
public:
    MsgAnswer show(const Message& message) override;
    void beep() override;
};

}  // namespace qlm
