#include "session/Operations.h"

#include <utility>

#include "scoring/Scoring.h"
#include "scoring/UnpackClient.h"
#include "session/Session.h"
#include "storage/DataFileError.h"

namespace qlm {

void LoadClients(Session& session, const std::string& fileName, bool forWriting) {
    session.Clients.LoadClients(fileName, forWriting);
    session.CurrentClient = session.Clients.NumberOfClients() > 0 ? 1 : 0;
}

void SaveClient(Session& session, int n) {
    session.Clients.SaveClient(n);
}

void RefuseDamagedClient(const Session& session, int n) {
    if (n >= 1 && n <= Session::MaxClients) {
        const std::string& damage = session.Clients.damage(n);
        if (!damage.empty()) {
            throw DataFileError(
                session.Clients.fileName(),
                "record " + std::to_string(n) + " is damaged: " + damage + "; it cannot be scored");
        }
    }
}

void ClearClient(Session& session) {
    if (session.CurrentClient >= 0 && session.CurrentClient <= Session::MaxClients) {
        session.Clients.ClearClient(session.CurrentClient);
    }
}

void DropUnsavedClient(Session& session) {
    if (session.Clients.isNewClient(session.CurrentClient)) {
        ClearClient(session);
        session.CurrentClient = 1;
    } else {
        session.Clients.RevertClient(session.CurrentClient);
    }
}

void LoadScoringTables(Session& session) {
    session.Tables = ReadScoringTables(session.Files, session.DataFolder);
}

void ScoreCurrentClient(Session& session) {
    RefuseDamagedClient(session, session.CurrentClient);
    SetTestSpec(session.Constants);
    LoadScoringTables(session);
    UnpackClient(session.current(), session.CurrentClient, session.Scoring);
    ScoreScales(session.Scoring, session.Tables, session.Constants);
    ConvertToPercentiles(session.Scoring, session.Tables);
}

ReportInputs ReportInputsOf(Session& session) {
    return {session.Files,     session.DataFolder, session.Scoring, session.Tables,
            session.Constants, session.Publisher,  session.Codes};
}

std::string ComposeReport(Session& session) {
    return ComposeReport(ReportInputsOf(session));
}

void WriteReport(Session& session, const std::string& path) {
    WriteReportFile(ReportInputsOf(session), path.empty() ? session.reportFile() : path);
    if (IsFullReport(session.Scoring)) {
        session.Tables = {};
    }
}

void MakeReport(Session& session, const std::string& path) {
    ScoreCurrentClient(session);
    WriteReport(session, path);
}

}  // namespace qlm
