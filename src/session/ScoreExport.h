#pragma once

#include <string>

namespace qlm {

struct Session;

// Every client of the session's data location scored, one CSV row each in client order
// (RFC 4180 quoting, CR LF line ends, UTF-8), after a header row naming the columns: record
// number, name (empty once deleted), sex, race, education, age, date of birth, date scored,
// whether the test is valid, and per scale the raw score, percentile and risk range. A damaged
// record has its number, "damaged" as its validity and no scores. The scoring tables must be
// readable (DataFileError otherwise).
std::string ScoresCsv(Session& session);

// A CSV field, quoted when it holds a comma, a quote or a line break. A field that begins with
// "=", "+", "-", "@", a tab or a carriage return gets a leading apostrophe, so that a
// spreadsheet opening the file shows it as text instead of running it as a formula.
std::string CsvField(const std::string& text);

}  // namespace qlm
