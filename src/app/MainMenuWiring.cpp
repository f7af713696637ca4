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

// A step that shows `Screen` modally over `parent`; true when its user completed it.
template <typename Screen>
std::function<bool()> Modal(Session& session, Services& services, EntryMode mode, QWidget* parent) {
    return [&session, &services, mode, parent] {
        Screen screen(session, services, mode, parent);
        return screen.exec() == QDialog::Accepted;
    };
}

DataEntrySteps DataEntry(Session& session, Services& services, EntryMode mode, QWidget* parent) {
    return {
        Modal<FrmClientInfo>(session, services, mode, parent),
        Modal<FrmCourtHistory>(session, services, mode, parent),
        [&session, &services, mode, parent] {
            return ShowNewEntry(session, services, mode, parent);
        },
    };
}

OnscreenTestSteps OnscreenTest(Session& session, Services& services, QWidget* parent) {
    // The language screen is prepared by counting the languages and shown after it.
    auto languages = std::make_shared<std::unique_ptr<FrmSelectLanguage>>();
    return {
        Modal<FrmClientInfo>(session, services, EntryMode::NewClient, parent),
        Modal<FrmCourtHistory>(session, services, EntryMode::NewClient, parent),
        [&session, &services, parent, languages] {
            *languages = std::make_unique<FrmSelectLanguage>(session, services, parent);
            try {
                return (*languages)->LanguageCount();
            } catch (const DataFileError&) {
                // The presentation opens the same bank next and says what is wrong with it.
                return 0;
            }
        },
        [languages] {
            auto chosen = (*languages)->chooseLanguage();
            languages->reset();
            return chosen;
        },
        [&session, &services, parent](const std::string& language) {
            ShowPresentQA(session, services, language, SecretCodeFor(session, services, parent),
                          parent);
        },
    };
}

}  // namespace

std::function<bool()> SecretCodeFor(Session& session, Services& services, QWidget* parent) {
    return [&session, &services, parent] {
        return AskSecretCodeNoCancel(session.Code, services, parent);
    };
}

void WireMainMenu(FrmMainMenu& menu, Session& session, Services& services) {
    menu.setChoiceScreens(FrmMainMenu::EditChoice, [&session, &services, &menu] {
        if (const auto refusal = EditRefusal(session)) {
            services.messages.show(*refusal);
            return;
        }
        RunDataEntrySequence(DataEntry(session, services, EntryMode::Edit, &menu));
    });
    menu.setChoiceScreens(FrmMainMenu::AddChoice, [&session, &services, &menu] {
        if (const auto refusal = NewClientRefusal(session)) {
            services.messages.show(*refusal);
            return;
        }
        EntryMethodSequences sequences;
        sequences.onscreenTest = [&session, &services, &menu] {
            RunOnscreenTestSequence(OnscreenTest(session, services, &menu));
        };
        sequences.paperSheet = [&session, &services, &menu] {
            RunDataEntrySequence(DataEntry(session, services, EntryMode::NewClient, &menu));
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
