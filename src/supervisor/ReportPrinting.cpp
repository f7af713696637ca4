#include "supervisor/ReportPrinting.h"

#include "report/Report.h"
#include "session/ClientList.h"
#include "session/LogAccess.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/DataFileError.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "ui/Messages.h"
#include "ui/ReportPrinter.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

std::string ReadReportText(const Session& session) {
    std::string text = session.Files.readFile(session.reportFile());
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

bool PrintReportText(Session& session, Services& services, const std::string& text,
                     const std::string& title, const std::vector<int>& clients) {
    // No busy pointer while the print dialog waits for the user: the printer shows it itself
    // once the dialog is answered.
    std::string error;
    const PrintOutcome outcome =
        services.printer.print(text, title, error, [&](PrintTarget target, std::string& why) {
            try {
                session.Log.record(
                    DataLocationOf(session),
                    target == PrintTarget::PdfFile ? AccessAction::Pdf : AccessAction::Print,
                    clients);
                return true;
            } catch (const FileError& failure) {
                why = AccessLogFailure(failure);
                return false;
            }
        });
    if (outcome == PrintOutcome::Failed) {
        services.messages.show({"The report was not printed.\r\n\r\n" + error, "Print Error",
                                MsgIcon::Critical, MsgButtons::OK});
    }
    return outcome == PrintOutcome::Printed;
}

bool PrintClientReports(Session& session, Services& services, const std::vector<int>& clients) {
    std::string text;
    std::vector<int> skipped;
    std::vector<int> made;
    BusyPointer busy;
    for (const int n : clients) {
        // A damaged record keeps no other client's report from the printer.
        if (!session.Clients.damage(n).empty()) {
            skipped.push_back(n);
            continue;
        }
        session.CurrentClient = n;
        try {
            MakeReport(session);
            // Each client's report starts on a printed page of its own.
            text += (text.empty() ? "" : "\f") + ReadReportText(session);
            made.push_back(n);
        } catch (const std::runtime_error& error) {
            busy.done();
            services.messages.show({"The report of client " + std::to_string(n) +
                                        " cannot be made: " + FailureText(error) +
                                        "\r\n\r\nNothing was printed.",
                                    "Print Report", MsgIcon::Critical, MsgButtons::OK});
            return false;
        }
    }
    busy.done();
    const bool printed =
        !made.empty() &&
        PrintReportText(session, services, text,
                        made.size() == 1 ? "Quillmere report, client " + std::to_string(made[0])
                                         : "Quillmere reports",
                        made);
    if (!skipped.empty()) {
        services.messages.show(
            {(printed ? "Reports printed for " + std::to_string(made.size()) +
                            (made.size() == 1 ? " client.\r\n\r\n" : " clients.\r\n\r\n")
                      : std::string()) +
                 SkippedReports(skipped),
             "Print Report", MsgIcon::Exclamation, MsgButtons::OK});
    }
    return printed;
}

std::string FailureText(const std::exception& error) {
    if (const auto* fileError = dynamic_cast<const FileError*>(&error)) {
        return "Error " + std::to_string(fileError->number()) + ":" + fileError->description();
    }
    return error.what();
}

}  // namespace qlm
