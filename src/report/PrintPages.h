#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qlm {

// One report page as it is printed: its lines, single-byte text without line ends.
using PrintPage = std::vector<std::string>;

// The report text split at its form feeds, one entry per report page. A line ends with CR LF
// (a lone CR or LF too); the last line needs no end. Each later page begins with the empty rest
// of its form-feed line, as the report file has it.
std::vector<PrintPage> SplitReportPages(std::string_view reportText);

// Characters in the page's longest line.
int WidestLine(const PrintPage& page);

// A fixed-pitch font's size per point, in the units of the printable area.
struct FontRatios {
    double lineSpacing;  // distance from one line to the next
    double advance;      // width of one character
};

// The largest size, at most `preferred` points, at which `lines` lines of `columns` characters
// fit into the printable area.
double FitPointSize(int lines, int columns, double printableWidth, double printableHeight,
                    FontRatios ratios, double preferred);

// What keeps `bytes` from being a whole PDF file: its header "%PDF-" and its end "%%EOF" (a line
// end may follow). Empty for a whole one.
std::string PdfProblem(std::string_view bytes);

}  // namespace qlm
