#pragma once

class QWidget;

namespace qlm {

class SiteCode;
struct Services;

// Asks for the secret code until it is given (true) or the prompt is cancelled (false); a wrong
// code is said and asked again, without limit, but from the fourth wrong code in a run each
// try waits longer (the prompt counts the wait down). A code that cannot be checked is said,
// and false returned.
bool AskSecretCode(SiteCode& code, Services& services, QWidget* parent);
// The same without a cancel choice; false only when the prompt's window is closed.
bool AskSecretCodeNoCancel(SiteCode& code, Services& services, QWidget* parent);

}  // namespace qlm
