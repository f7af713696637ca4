#pragma once

#include <string>

#include "report/Report.h"

namespace qlm {

struct Session;

// The operations on the whole program state: each hands the storage, scoring and report code
// the part of the state it works on.

// Loads the client file `fileName` into the session's client store (for reading only, nothing
// is created) and makes client 1 current (0 when there is none).
void LoadClients(Session& session, const std::string& fileName, bool forWriting = true);
// Writes entry n as record n, on the disk before it returns; the first write of a run is
// preceded by a backup, and is not made when the backup fails (ClientStore::SaveClient).
void SaveClient(Session& session, int n);
// Throws DataFileError naming record n and its damage when the record is damaged.
void RefuseDamagedClient(const Session& session, int n);
// Blanks the current client's entry of the table; the file is not touched.
void ClearClient(Session& session);
// Ends an entry left unfinished: a new client, never written, is cleared and client 1 becomes
// current; an edited client goes back to what the file holds.
void DropUnsavedClient(Session& session);

// Reads the scoring tables afresh from the data folder; on an error the session keeps the
// tables it had.
void LoadScoringTables(Session& session);
// Sets the test shape, loads the tables, unpacks the current client and scores it. Loading is
// the only step that can fail; it does so before the client's state changes.
void ScoreCurrentClient(Session& session);

// The report of the client scored last.
ReportInputs ReportInputsOf(Session& session);
std::string ComposeReport(Session& session);
// Writes that report to `path` (by default "report.prn" in the report folder); a full report
// ends by erasing the scoring tables.
void WriteReport(Session& session, const std::string& path = {});
// Scores the current client afresh and writes its report.
void MakeReport(Session& session, const std::string& path = {});

}  // namespace qlm
