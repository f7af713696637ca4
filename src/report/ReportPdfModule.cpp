#include "report/ReportPdfModule.h"

#include <QApplication>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "report/QtReportPrinter.h"

extern "C" int qlm_write_report_pdf_1(const char* reportText, size_t reportLength,
                                      const char* pdfFile, char* error, size_t errorSize) {
    // Fonts and printing need the toolkit for as long as the pages are set; off screen,
    // display or not.
    std::unique_ptr<QApplication> toolkit;
    int argc = 1;
    char name[] = "qlm";
    char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        toolkit = std::make_unique<QApplication>(argc, argv);
    }
    std::string reason;
    qlm::QtReportPrinter printer;
    if (printer.printToPdf(std::string(reportText, reportLength), pdfFile, reason) ==
        qlm::PrintOutcome::Printed) {
        return 0;
    }
    if (errorSize > 0) {
        const std::size_t length = std::min(reason.size(), errorSize - 1);
        std::memcpy(error, reason.data(), length);
        error[length] = '\0';
    }
    return 1;
}
