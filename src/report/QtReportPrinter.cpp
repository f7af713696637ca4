#include "report/QtReportPrinter.h"

#include <QWidget>

namespace qlm {

QtReportPrinter::QtReportPrinter(QWidget* dialogParent) : m_dialogParent(dialogParent) {}

PrintOutcome QtReportPrinter::print(const std::string& /*reportText*/,
                                    const std::string& /*documentName*/, std::string& error) {
    error = "Printing is not available yet.";
    return PrintOutcome::Failed;
}

PrintOutcome QtReportPrinter::printToPdf(const std::string& /*reportText*/,
                                         const std::string& /*pdfFile*/, std::string& error) {
    error = "Printing is not available yet.";
    return PrintOutcome::Failed;
}

}  // namespace qlm
