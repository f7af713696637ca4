#pragma once

#include <string>

#include "ui/ReportPrinter.h"

class QPageLayout;
class QWidget;

namespace qlm {

class FileSystem;

// Prints the report through the toolkit's printer: the platform's print dialog for a printer
// or a PDF file, or straight to a PDF file without asking. A PDF file is set in memory and put
// in place through the file layer only once it reads as a whole PDF.
class QtReportPrinter : public ReportPrinter {
public:
    explicit QtReportPrinter(QWidget* dialogParent = nullptr, const FileSystem* files = nullptr);

    PrintOutcome print(const std::string& reportText, const std::string& documentName,
                       std::string& error, const PrintGate& gate) override;
    PrintOutcome printToPdf(const std::string& reportText, const std::string& pdfFile,
                            std::string& error) override;

private:
    PrintOutcome writePdf(const std::string& reportText, const std::string& pdfFile,
                          const QPageLayout& layout, int resolution, std::string& error);

    QWidget* m_dialogParent;
    const FileSystem* m_files;
};

}  // namespace qlm
