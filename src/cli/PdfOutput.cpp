#include "cli/PdfOutput.h"

#include <QApplication>
#include <memory>
#include <stdexcept>

#include "report/QtReportPrinter.h"

namespace qlm::cli {

void WriteReportPdf(const FileSystem& files, const std::string& reportText,
                    const std::string& pdfFile) {
    // Fonts and printing need the toolkit, for as long as the pages are set; off screen,
    // display or not.
    std::unique_ptr<QApplication> toolkit;
    int argc = 1;
    char name[] = "qlm";
    char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        toolkit = std::make_unique<QApplication>(argc, argv);
    }
    QtReportPrinter printer(nullptr, &files);
    std::string error;
    if (printer.printToPdf(reportText, pdfFile, error) != PrintOutcome::Printed) {
        throw std::runtime_error(error);
    }
}

}  // namespace qlm::cli
