#include "app/MainMenuWiring.h"

#include "answersheet/FrmNewEntry.h"
#include "app/FrmMainMenu.h"
#include "entry/FrmClientInfo.h"
#include "entry/FrmCourtHistory.h"
#include "session/Session.h"
#include "testing/EntrySequence.h"
#include "testing/FrmSelectEntryMethod.h"
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

void WireMainMenu(FrmMainMenu& menu, Session& session, Services& services) {
    const DataEntrySteps dataEntry{
        Modal<FrmClientInfo>(session, services, &menu),
        Modal<FrmCourtHistory>(session, services, &menu),
        [&session, &services, &menu] { ShowNewEntry(session, services, &menu); },
    };
    menu.setChoiceScreens(FrmMainMenu::EditChoice, [&session, &services, dataEntry] {
        // A damaged record is not edited: its bytes stay as they are for whoever can mend them.
        const int n = session.CurrentClient;
        if (const std::string& damage = session.Damage.at(static_cast<std::size_t>(n));
            !damage.empty()) {
            services.messages.show({"Record " + std::to_string(n) +
                                        " of the client file is "
                                        "damaged: " +
                                        damage +
                                        ".\r\n\r\nIt cannot be edited; the client file is left "
                                        "as it is.",
                                    "Damaged Record", MsgIcon::Critical, MsgButtons::OK});
            return;
        }
        RunEditSequence(session.ContinueEntry, dataEntry);
    });
    menu.setChoiceScreens(FrmMainMenu::AddChoice, [&session, &services, &menu, dataEntry] {
        EntryMethodSequences sequences;
        sequences.paperSheet = [&session, dataEntry] {
            RunPaperSheetSequence(session.ContinueEntry, dataEntry);
        };
        FrmSelectEntryMethod screen(session, services, std::move(sequences), &menu);
        screen.exec();
    });
}

}  // namespace qlm
