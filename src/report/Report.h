#pragma once

#include <string>

#include "report/Publisher.h"

namespace qlm {

class FileSystem;
struct CodeTexts;
struct ScoringState;
struct ScoringTables;
struct TestSpec;

// The report file's name.
inline constexpr const char* ReportFileName = "report.prn";

// What a report is composed from: the scored client, the tables that scored it, and the text
// files among the program's data files.
struct ReportInputs {
    const FileSystem& Files;
    const std::string& DataFolder;
    // Not const: the court-history listing pads the short counts in place.
    ScoringState& Scoring;
    const ScoringTables& Tables;
    const TestSpec& Constants;
    PublisherCode Publisher;
    const CodeTexts& Codes;

    std::string programFile(const std::string& name) const { return DataFolder + "/" + name; }
};

// The bytes of the report of the scored client. A missing or incomplete text file beside the
// program throws DataFileError.
std::string ComposeReport(const ReportInputs& in);

// Whether the report of the scored client is a full one (a valid test), after which the caller
// erases the scoring tables.
bool IsFullReport(const ScoringState& s);

// Writes the report to `path` whole and flushes it to the disk; otherwise an error is thrown
// (FileError for the file, DataFileError for a data file) and the file is
// left empty.
void WriteReportFile(const ReportInputs& in, const std::string& path);

}  // namespace qlm
