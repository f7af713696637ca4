#include "supervisor/SecretCode.h"

#include "entry/FrmMyInputBox.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/Services.h"

namespace qlm {

namespace {

bool isSecretCode(const std::string& typed) {
    return typed.size() == 1 && (typed[0] == SecretCodeLetter || typed[0] == SecretCodeLetter + 32);
}

bool ask(Services& services, QWidget* parent, bool withCancel) {
    for (;;) {
        FrmMyInputBox box(services, parent);
        box.SetInputLength(8);
        box.SetHelpMessage(
            "Enter the Secret Code to continue.  For security, asterisks (*) will show as you "
            "type.");
        box.setWindowTitle(QStringLiteral("Secret Code"));
        box.SetPasswordInput(true);
        box.cancelChoice()->setVisible(withCancel);
        box.exec();
        if (box.Cancelled()) {
            return false;
        }
        if (isSecretCode(box.InputValue())) {
            return true;
        }
        services.messages.show({"Incorrect Secret Code.  Please try again.", "Secret Code",
                                MsgIcon::Critical, MsgButtons::OK});
    }
}

}  // namespace

bool AskSecretCode(Services& services, QWidget* parent) {
    return ask(services, parent, true);
}

bool AskSecretCodeNoCancel(Services& services, QWidget* parent) {
    return ask(services, parent, false);
}

}  // namespace qlm
