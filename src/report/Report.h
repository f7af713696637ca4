#pragma once

#include <string>

namespace qlm {

struct Session;

// The report file's name; it lies in the program folder.
inline constexpr const char* ReportFileName = "report.prn";

// Scores the current client afresh and writes its report to `path` (by default "report.prn"
// in the program folder).
void MakeReport(Session& session, const std::string& path = {});

// Writes the report of the client scored last. The file is written whole and flushed to the
// disk; otherwise an error is thrown (FileError for the file, DataFileError for a missing or
// incomplete text file beside the program) and the file is left empty. A full report ends by
// erasing the scoring tables.
void WriteReport(Session& session, const std::string& path = {});

// The bytes of the report of the client scored last, without touching the report file or the
// tables.
std::string ComposeReport(Session& session);

}  // namespace qlm
