#pragma once

#include <functional>

class QWidget;

namespace qlm {

class FrmMainMenu;
struct Services;
struct Session;

// The secret code prompt that closes the on-screen test (no cancel choice).
std::function<bool()> SecretCodeFor(Session& session, Services& services, QWidget* parent);

// Connects the main menu's choices to their chains of screens.
void WireMainMenu(FrmMainMenu& menu, Session& session, Services& services);

}  // namespace qlm
