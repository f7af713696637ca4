#include "app/MainMenuWiring.h"

#include <memory>

#include "answersheet/FrmNewEntry.h"
#include "app/FrmMainMenu.h"
#include "entry/FrmClientInfo.h"
#include "entry/FrmCourtHistory.h"
#include "session/CheckedSave.h"
#include "session/Session.h"
#include "storage/DataFileError.h"
#include "supervisor/FrmSupervisorOptions.h"
#include "supervisor/SecretCode.h"
#include "testing/EntrySequence.h"
#include "testing/FrmPresentQA.h"
#include "testing/FrmSelectEntryMethod.h"
#include "testing/FrmSelectLanguage.h"
#include "ui/Services.h"

namespace qlm {

namespace {

// A step that shows `Screen` modally over `parent` and returns when it closes.
template <typename Screen>
std::function<void()> Modal(Session& session, Services& services, QWidget* parent) {
    return [&session, &services, parent] {
        Screen screen(session, services, parent);
        screen.exec();
    };
}

}  // namespace

std::function<bool()> SecretCodeFor(Session& session, Services& services, QWidget* parent) {
    return [&session, &services, parent] {
        return AskSecretCodeNoCancel(session.Code, services, parent);
    };
}

void WireMainMenu(FrmMainMenu& menu, Session& session, Services& services) {
    const DataEntrySteps dataEntry{
        Modal<FrmClientInfo>(session, services, &menu),
        Modal<FrmCourtHistory>(session, services, &menu),
        [&session, &services, &menu] { ShowNewEntry(session, services, &menu); },
    };
    menu.setChoiceScreens(FrmMainMenu::EditChoice, [&session, &services, dataEntry] {
        // A damaged record is not edited: its bytes stay as they are for whoever can mend them.
        const int n = session.CurrentClient;
        if (const std::string& damage = session.Clients.damage(n); !damage.empty()) {
            services.messages.show(DamagedRecordMessage(n, damage, "edited"));
            return;
        }
        RunEditSequence(session.ContinueEntry, dataEntry);
    });
    // The language screen is prepared by counting the languages and shown after it.
    auto languages = std::make_shared<std::unique_ptr<FrmSelectLanguage>>();
    const OnscreenTestSteps onscreen{
        dataEntry.showClientInfo,
        dataEntry.showCourtHistory,
        [&session, &services, &menu, languages] {
            *languages = std::make_unique<FrmSelectLanguage>(session, services, &menu);
            try {
                return (*languages)->LanguageCount();
            } catch (const DataFileError&) {
                // The presentation opens the same bank next and says what is wrong with it.
                return 0;
            }
        },
        [languages] {
            (*languages)->exec();
            const std::string chosen = (*languages)->language();
            languages->reset();
            return chosen;
        },
        [&session, &services, &menu](const std::string& language) {
            ShowPresentQA(session, services, language, SecretCodeFor(session, services, &menu),
                          &menu);
        },
    };
    menu.setChoiceScreens(
        FrmMainMenu::AddChoice, [&session, &services, &menu, dataEntry, onscreen] {
            // The 52nd client is refused before a single screen is filled in.
            if (session.Clients.NumberOfClients() >= Session::MaxClients) {
                services.messages.show(ClientTableFullMessage());
                return;
            }
            EntryMethodSequences sequences;
            sequences.onscreenTest = [&session, onscreen] {
                RunOnscreenTestSequence(session.ContinueEntry, onscreen);
            };
            sequences.paperSheet = [&session, dataEntry] {
                RunPaperSheetSequence(session.ContinueEntry, dataEntry);
            };
            FrmSelectEntryMethod screen(session, services, std::move(sequences), &menu);
            screen.exec();
        });
    menu.setChoiceScreens(FrmMainMenu::SupervisorChoice, [&session, &services, &menu] {
        FrmSupervisorOptions screen(session, services, &menu);
        screen.exec();
    });
}

}  // namespace qlm
