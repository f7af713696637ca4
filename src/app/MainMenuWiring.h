#pragma once

namespace qlm {

class FrmMainMenu;
struct Services;
struct Session;

// Connects the main menu's choices to their chains of screens.
void WireMainMenu(FrmMainMenu& menu, Session& session, Services& services);

}  // namespace qlm
