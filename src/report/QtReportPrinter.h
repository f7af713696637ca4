#pragma once

#include <string>

#include "ui/ReportPrinter.h"

class QWidget;

namespace qlm {

class FileSystem;

// Prints the report through the toolkit's printer: the platform's print dialog for a printer
// or a PDF file, or straight to a PDF file without asking. A PDF file written straight is set
// beside its target and put in place through the file layer only once it is whole.
class QtReportPrinter : public ReportPrinter {
public:
    explicit QtReportPrinter(QWidget* dialogParent = nullptr, const FileSystem* files = nullptr);

    PrintOutcome print(const std::string& reportText, const std::string& documentName,
                       std::string& error) override;
    PrintOutcome printToPdf(const std::string& reportText, const std::string& pdfFile,
                            std::string& error) override;

private:
    QWidget* m_dialogParent;
    const FileSystem* m_files;
};

}  // namespace qlm
