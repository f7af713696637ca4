#include "session/Operations.h"

#include <chrono>
#include <utility>

#include "scoring/Scoring.h"
#include "scoring/UnpackClient.h"
#include "session/Session.h"
#include "storage/Backup.h"
#include "storage/DataFileError.h"

namespace qlm {

void AdoptClientFile(Session& session, ClientFileContents contents) {
    session.ClientTable = std::move(contents.table);
    session.Damage = std::move(contents.damage);
    session.NumberOfClients = contents.count;
    session.CurrentClient = contents.count > 0 ? 1 : 0;
}

void LoadClients(Session& session) {
    AdoptClientFile(session, ReadClientFile(session.Files, session.ClientFileName));
}

void BackUpClientFileOnce(Session& session) {
    if (session.BackedUpClientFile != session.ClientFileName) {
        MakeBackup(session.Files, session.ClientFileName, BackupFolderFor(session.ClientFileName),
                   std::chrono::system_clock::now());
        session.BackedUpClientFile = session.ClientFileName;
    }
}

void SaveClient(Session& session, int n) {
    BackUpClientFileOnce(session);
    WriteClientRecord(session.Files, session.ClientFileName, session.ClientTable, n);
    session.Damage.at(static_cast<std::size_t>(n)) =
        RecordDamage(session.ClientTable[static_cast<std::size_t>(n)].toBytes());
}

void RefuseDamagedClient(const Session& session, int n) {
    if (n >= 1 && n <= Session::MaxClients) {
        const std::string& damage = session.Damage[static_cast<std::size_t>(n)];
        if (!damage.empty()) {
            throw DataFileError(
                session.ClientFileName,
                "record " + std::to_string(n) + " is damaged: " + damage + "; it cannot be scored");
        }
    }
}

void ClearClient(Session& session) {
    if (session.CurrentClient >= 0 && session.CurrentClient <= Session::MaxClients) {
        session.ClientTable[static_cast<std::size_t>(session.CurrentClient)] = ClientRecord{};
    }
}

void DropUnsavedClient(Session& session) {
    if (!session.EditMode) {
        ClearClient(session);
        session.CurrentClient = 1;
    }
    session.EditMode = false;
}

void LoadScoringTables(Session& session) {
    session.Tables = ReadScoringTables(session.Files, session.DataFolder);
}

void ScoreCurrentClient(Session& session) {
    RefuseDamagedClient(session, session.CurrentClient);
    SetTestSpec(session.Constants);
    LoadScoringTables(session);
    UnpackClient(session.ClientTable.at(static_cast<std::size_t>(session.CurrentClient)),
                 session.CurrentClient, session.Scoring);
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
    WriteReportFile(ReportInputsOf(session),
                    path.empty() ? session.reportFile() : path);
    if (IsFullReport(session.Scoring)) {
        session.Tables = {};
    }
}

void MakeReport(Session& session, const std::string& path) {
    ScoreCurrentClient(session);
    WriteReport(session, path);
}

}  // namespace qlm
