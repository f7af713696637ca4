#include "report/QtReportPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>

#include "report/PrintPages.h"
#include "report/ReportFont.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

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

// The messages name the file the user asked for, not the partial one beside it.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

QtReportPrinter::QtReportPrinter(QWidget* dialogParent, const FileSystem* files)
    : m_dialogParent(dialogParent), m_files(files) {}

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
    const std::string partial = target.absoluteFilePath().toStdString() + ".partial";
    PrintOutcome outcome = PrintOutcome::Failed;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(partial));
        outcome = render(printer, reportText, error);
    }
    if (outcome == PrintOutcome::Printed) {
        static const FileSystem plain;
        const FileSystem& files = m_files != nullptr ? *m_files : plain;
        try {
            files.replaceFile(pdfFile, files.readFile(partial));
        } catch (const FileError& e) {
            error = "The PDF file " + pdfFile + " cannot be written: Error " +
                    std::to_string(e.number()) + ": " + e.description() + ".";
            outcome = PrintOutcome::Failed;
        }
    }
    if (outcome != PrintOutcome::Printed) {
        error = replaceAll(error, partial, pdfFile);
    }
    QFile::remove(QString::fromStdString(partial));
    return outcome;
}

}  // namespace qlm
