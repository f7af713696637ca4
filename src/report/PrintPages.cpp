#include "report/PrintPages.h"

#include <algorithm>

namespace qlm {

namespace {

PrintPage SplitLines(std::string_view text) {
    PrintPage lines;
    std::string line;
    bool open = false;  // characters since the last line end
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
            open = true;
        }
    }
    if (open) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::vector<PrintPage> SplitReportPages(std::string_view reportText) {
    std::vector<PrintPage> pages;
    std::size_t start = 0;
    for (;;) {
        const std::size_t formFeed = reportText.find('\f', start);
        if (formFeed == std::string_view::npos) {
            pages.push_back(SplitLines(reportText.substr(start)));
            return pages;
        }
        pages.push_back(SplitLines(reportText.substr(start, formFeed - start)));
        start = formFeed + 1;
    }
}

int WidestLine(const PrintPage& page) {
    std::size_t widest = 0;
    for (const std::string& line : page) {
        widest = std::max(widest, line.size());
    }
    return static_cast<int>(widest);
}

double FitPointSize(int lines, int columns, double printableWidth, double printableHeight,
                    FontRatios ratios, double preferred) {
    double size = preferred;
    if (lines > 0 && ratios.lineSpacing > 0) {
        size = std::min(size, printableHeight / (lines * ratios.lineSpacing));
    }
    if (columns > 0 && ratios.advance > 0) {
        size = std::min(size, printableWidth / (columns * ratios.advance));
    }
    return size;
}

std::string PdfProblem(std::string_view bytes) {
    if (bytes.empty()) {
        return "it is empty";
    }
    if (!bytes.starts_with("%PDF-")) {
        return "it does not begin as a PDF file does";
    }
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) {
        bytes.remove_suffix(1);
    }
    if (!bytes.ends_with("%%EOF")) {
        return "it ends before the end of a PDF file";
    }
    return {};
}

}  // namespace qlm
