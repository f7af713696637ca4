#include "report/ReportWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace qlm {

ReportWriter::ReportWriter(std::string clientName, PublisherTexts publisher, PublisherCode code)
    : m_clientName(std::move(clientName)), m_publisher(std::move(publisher)), m_code(code) {}

ReportWriter& ReportWriter::atColumn(int n) {
    if (m_column > n) {
        endLine();
    }
    return blanks(n - m_column);
}

ReportWriter& ReportWriter::blanks(int n) {
    return text(std::string(static_cast<std::size_t>(std::max(n, 0)), ' '));
}

ReportWriter& ReportWriter::text(std::string_view s) {
    m_bytes += s;
    m_column += static_cast<int>(s.size());
    return *this;
}

ReportWriter& ReportWriter::number(double value) {
    char digits[32];
    const double magnitude = std::fabs(value);
    const auto end =
        magnitude == std::floor(magnitude) && magnitude < 1e15
            ? std::to_chars(digits, digits + sizeof digits, static_cast<long long>(magnitude))
            : std::to_chars(digits, digits + sizeof digits, magnitude);
    text(value < 0 ? "-" : " ");
    text(std::string_view(digits, static_cast<std::size_t>(end.ptr - digits)));
    return text(" ");
}

void ReportWriter::endLine() {
    m_bytes += "\r\n";
    m_column = 1;
}

void ReportWriter::line(int indent, std::string_view s) {
    blanks(indent).text(s).endLine();
}

void ReportWriter::paragraph(std::initializer_list<std::string_view> lines) {
    for (std::string_view text : lines) {
        line(7, text);
    }
    endLine();
    ReportLine += static_cast<int>(lines.size()) + 1;
}

void ReportWriter::PrintPageHeader() {
    ++ReportPage;
    const std::string page = std::to_string(ReportPage);
    text("\f").endLine();
    blanks(7).text("NAME: ").text(m_clientName);
    atColumn(41).text("-").text(page.substr(page.size() - 1)).text("-");
    atColumn(69).text("QLM REPORT").endLine();
    endLine();
    ReportLine = 2;
}

void ReportWriter::padPage() {
    while (ReportLine < FooterPadLine) {
        endLine();
        ++ReportLine;
    }
}

void ReportWriter::PrintNoticeFooter() {
    padPage();
    if (ReportLine < LastLine) {
        atColumn(23).text(m_publisher.RightsLine).endLine();
        ++ReportLine;
    }
    if (ReportLine < LastLine) {
        line(33, m_publisher.ReservedLine);
        ++ReportLine;
    }
}

void ReportWriter::PrintPublisherFooter() {
    padPage();
    if (ReportLine < LastLine) {
        atColumn(m_code == PublisherCode::First ? 9 : 8).text(m_publisher.AddressLine).endLine();
        ++ReportLine;
    }
}

}  // namespace qlm
