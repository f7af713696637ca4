#include "report/QtReportPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include "report/PrintPages.h"
#include "report/ReportFont.h"

namespace qlm {

namespace {

// The size the report is set in; a page of more lines or wider lines than fit at it is set
// smaller, so that no line is ever clipped or moved to another sheet.
constexpr double ReportPointSize = 11.5;

PrintOutcome render(QPrinter& printer, const std::string& reportText, std::string& error) {
    const std::vector<PrintPage> pages = SplitReportPages(reportText);
    QPainter painter;
    if (!painter.begin(&printer)) {
        error =
            printer.outputFormat() == QPrinter::PdfFormat
                ? "The PDF file " + printer.outputFileName().toStdString() + " cannot be written."
                : "The printer cannot be opened.";
        return PrintOutcome::Failed;
    }
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF sheet(0, 0, area.width(), area.height());
    // The font's proportions, measured once on the printer at a known size.
    constexpr double ProbeSize = 100.0;
    const QFontMetricsF probe(ReportFont(ProbeSize), &printer);
    const FontRatios ratios{probe.lineSpacing() / ProbeSize,
                            probe.horizontalAdvance(QLatin1Char('M')) / ProbeSize};
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) {
            error = "The printer stopped taking pages.";
            painter.end();
            return PrintOutcome::Failed;
        }
        const PrintPage& page = pages[p];
        const double size = FitPointSize(static_cast<int>(page.size()), WidestLine(page),
                                         sheet.width(), sheet.height(), ratios, ReportPointSize);
        const QFont font = ReportFont(size);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &printer);
        double y = metrics.ascent();
        for (const std::string& line : page) {
            painter.drawText(QPointF(0, y),
                             QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
            y += metrics.lineSpacing();
        }
    }
    if (!painter.end()) {
        error = "The print job could not be completed.";
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

}  // namespace

QtReportPrinter::QtReportPrinter(QWidget* dialogParent) : m_dialogParent(dialogParent) {}

PrintOutcome QtReportPrinter::print(const std::string& reportText, const std::string& documentName,
                                    std::string& error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(documentName));
    QPrintDialog dialog(&printer, m_dialogParent);
    dialog.setWindowTitle(QStringLiteral("Print Report"));
    if (dialog.exec() != QDialog::Accepted) {
        return PrintOutcome::Cancelled;
    }
    return render(printer, reportText, error);
}

PrintOutcome QtReportPrinter::printToPdf(const std::string& reportText, const std::string& pdfFile,
                                         std::string& error) {
    const QFileInfo target(QString::fromStdString(pdfFile));
    if (!target.absoluteDir().exists() || target.isDir()) {
        error = "The PDF file " + pdfFile + " cannot be written: its folder does not exist.";
        return PrintOutcome::Failed;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(target.absoluteFilePath());
    return render(printer, reportText, error);
}

}  // namespace qlm
