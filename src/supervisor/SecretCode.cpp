#include "supervisor/SecretCode.h"

#include "entry/FrmMyInputBox.h"
#include "session/SiteCode.h"
#include "storage/FileError.h"
#include "ui/MenuChoice.h"
#include "ui/Messages.h"
#include "ui/Services.h"

namespace qlm {

namespace {

bool ask(SiteCode& code, Services& services, QWidget* parent, bool withCancel) {
    for (;;) {
        FrmMyInputBox box(services, parent);
        box.SetInputLength(static_cast<int>(code.inputLength()));
        box.SetHelpMessage(
            "Enter the Secret Code to continue.  For security, asterisks (*) will show as you "
            "type.");
        box.setWindowTitle(QStringLiteral("Secret Code"));
        box.SetPasswordInput(true);
        box.SetWaitUntil(code.nextTry());
        box.cancelChoice()->setVisible(withCancel);
        box.exec();
        if (box.Cancelled()) {
            return false;
        }
        try {
            if (code.matches(box.InputValue())) {
                return true;
            }
        } catch (const FileError& error) {
            services.messages.show({"The secret code cannot be checked: Error " +
                                        std::to_string(error.number()) + ": " + error.what() + ".",
                                    "Secret Code", MsgIcon::Critical, MsgButtons::OK});
            return false;
        }
        code.wrongCode(services.clock.Now());
        services.messages.show({"Incorrect Secret Code.  Please try again.", "Secret Code",
                                MsgIcon::Critical, MsgButtons::OK});
    }
}

}  // namespace

bool AskSecretCode(SiteCode& code, Services& services, QWidget* parent) {
    return ask(code, services, parent, true);
}

bool AskSecretCodeNoCancel(SiteCode& code, Services& services, QWidget* parent) {
    return ask(code, services, parent, false);
}

}  // namespace qlm
