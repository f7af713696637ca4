#pragma once

#include <functional>
#include <string>

namespace qlm {

enum class PrintOutcome { Printed, Cancelled, Failed };
enum class PrintTarget { Printer, PdfFile };
// Asked once the user has chosen where the report goes and before anything goes there; false
// stops the job, its reason in `error`.
using PrintGate = std::function<bool(PrintTarget, std::string& error)>;

// Printing the report text: the report's pages (Latin-1, split at its form feeds) on one
// printed page each, to a printer chosen by the user or to a PDF file.
class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;
    // Asks for the printer (or PDF file) and copies, then, once `gate` lets it, prints;
    // Failed carries the reason.
    virtual PrintOutcome print(const std::string& reportText, const std::string& documentName,
                               std::string& error, const PrintGate& gate) = 0;
    // Prints straight to a PDF file without asking.
    virtual PrintOutcome printToPdf(const std::string& reportText, const std::string& pdfFile,
                                    std::string& error) = 0;
};

}  // namespace qlm
