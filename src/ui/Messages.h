#pragma once

#include <string>

namespace qlm {

enum class MsgIcon { None, Critical, Exclamation, Information, Question };
// YesNoDefaultNo: Enter answers No, for a question whose Yes loses what was typed.
enum class MsgButtons { OK, OKCancel, YesNo, YesNoDefaultNo };
enum class MsgAnswer { OK, Cancel, Yes, No };

// One message box: its text (Latin-1, line breaks as the program writes them), its title
// (empty: the application's own title shows), icon and buttons.
struct Message {
    std::string text;
    std::string title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OK;

    bool operator==(const Message&) const = default;
};

// Message boxes and the beep. Screens and operations never open a box themselves, so that
// tests can answer every box and see each one that was shown.
class Messages {
public:
    virtual ~Messages() = default;
    virtual MsgAnswer show(const Message& message) = 0;
    virtual void beep() = 0;
};

}  // namespace qlm
