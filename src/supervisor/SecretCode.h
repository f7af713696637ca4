#pragma once

class QWidget;

namespace qlm {

struct Services;

// The supervisor's secret code: one letter, typed in either case.
inline constexpr char SecretCodeLetter = 'Q';

// Asks for the secret code until it is given (true) or the prompt is cancelled (false); a wrong
// code is said and asked again, without limit.
bool AskSecretCode(Services& services, QWidget* parent);
// The same without a cancel choice; false only when the prompt's window is closed.
bool AskSecretCodeNoCancel(Services& services, QWidget* parent);

}  // namespace qlm
