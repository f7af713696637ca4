#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "report/Publisher.h"

namespace qlm {

// The report as it is being written: single-byte text with CR LF line ends, kept in memory so
// that the file is written only once the whole report is composed. Columns count from 1.
class ReportWriter {
public:
    static constexpr int FooterPadLine = 56;
    static constexpr int LastLine = 58;

    ReportWriter(std::string clientName, PublisherTexts publisher, PublisherCode code);

    // Blanks up to column n; past it, a new line and n - 1 blanks.
    ReportWriter& atColumn(int n);
    ReportWriter& blanks(int n);
    ReportWriter& text(std::string_view s);
    // A blank or "-", the digits, and one trailing blank: 7 is " 7 ".
    ReportWriter& number(double value);
    // Ends the line; at the start of a line this is an empty line.
    void endLine();
    // After `indent` blanks, `s`, ending the line.
    void line(int indent, std::string_view s);
    // A block of text lines from column 8 and an empty line, all counted.
    void paragraph(std::initializer_list<std::string_view> lines);

    // The column the next character goes to.
    int column() const { return m_column; }
    const std::string& bytes() const { return m_bytes; }
    const PublisherTexts& publisher() const { return m_publisher; }

    // Form-feed line and the header of the next page.
    void PrintPageHeader();
    // Pads the page and prints the rights notice.
    void PrintNoticeFooter();
    // Pads the page and prints the publisher's name and address.
    void PrintPublisherFooter();

    // Lines used on the current page, as the writers count them (a layout counter).
    int ReportLine = 1;
    int ReportPage = 1;

private:
    void padPage();

    std::string m_bytes;
    int m_column = 1;
    std::string m_clientName;
    PublisherTexts m_publisher;
    PublisherCode m_code;
};

}  // namespace qlm
