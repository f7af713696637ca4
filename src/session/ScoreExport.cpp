#include "session/ScoreExport.h"

#include <string_view>
#include <vector>

#include "report/Report.h"
#include "scoring/NumericValue.h"
#include "scoring/Scoring.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/Latin1.h"

namespace qlm {

namespace {

void addRow(std::string& csv, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        csv += (i > 0 ? "," : "") + CsvField(fields[i]);
    }
    csv += "\r\n";
}

}  // namespace

std::string CsvField(const std::string& cell) {
    const bool formula =
        !cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos;
    std::string text = formula ? "'" + cell : cell;
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string ScoresCsv(Session& session) {
    LoadScoringTables(session);
    std::vector<std::string> header{"Record", "Name",        "Sex",        "Race", "Education",
                                    "Age",    "DateOfBirth", "DateScored", "Valid"};
    for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
        const std::string scale = Trim(session.Tables.ScaleName[static_cast<std::size_t>(sc)]);
        for (const char* what : {" Raw", " Percentile", " Risk"}) {
            header.push_back(scale + what);
        }
    }
    std::string csv;
    addRow(csv, header);
    const int current = session.CurrentClient;
    for (int n = 1; n <= session.Clients.NumberOfClients(); ++n) {
        if (!session.Clients.damage(n).empty()) {
            addRow(csv, {std::to_string(n), "", "", "", "", "", "", "", "damaged"});
            continue;
        }
        const ClientRecord& record = session.Clients.entry(n);
        session.CurrentClient = n;
        ScoreCurrentClient(session);
        const ScoringState& s = session.Scoring;
        const bool deleted = NumericValue(record.NameDeleted) != 0;
        std::vector<std::string> row{
            std::to_string(n),
            deleted ? std::string() : Latin1ToUtf8(Trim(record.Name)),
            Trim(CodeText(session.Codes.GenderText, NumericValue(record.Sex))),
            Trim(CodeText(session.Codes.RaceText, NumericValue(record.Race))),
            Latin1ToUtf8(Trim(record.Education)),
            Latin1ToUtf8(Trim(record.Age)),
            Latin1ToUtf8(Trim(record.DateOfBirth)),
            Latin1ToUtf8(Trim(record.DateScored)),
            IsFullReport(s) ? "yes" : "no"};
        for (int sc = 1; sc <= TestSpec::ScaleCount; ++sc) {
            const auto scale = static_cast<std::size_t>(sc);
            row.push_back(ShortestNumber(s.RawScore[scale]));
            row.push_back(std::to_string(s.Percentile[scale]));
            row.push_back(Trim(RiskLevel(s.Percentile[scale], session.Tables).name));
        }
        addRow(csv, row);
    }
    session.CurrentClient = current;
    return csv;
}

}  // namespace qlm
