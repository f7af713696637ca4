#pragma once

namespace qlm {

// Turns the keyboard's Num Lock on where the program runs on X11; elsewhere it does nothing.
void HoldNumLockOn();

}  // namespace qlm
