#include "report/QtReportPrinter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>
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

// Sets the pages on a printer or a PDF writer of `resolution` dots per inch; `unopened` is the
// error when the device cannot be painted on.
PrintOutcome render(QPagedPaintDevice& printer, int resolution, const std::string& reportText,
                    std::string& error, const std::string& unopened) {
    const std::vector<PrintPage> pages = SplitReportPages(reportText);
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = unopened;
        return PrintOutcome::Failed;
    }
    const QRectF area = printer.pageLayout().paintRectPixels(resolution);
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

QtReportPrinter::QtReportPrinter(QWidget* dialogParent, const FileSystem* files)
    : m_dialogParent(dialogParent), m_files(files) {}

PrintOutcome QtReportPrinter::print(const std::string& reportText, const std::string& documentName,
                                    std::string& error, const PrintGate& gate) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(documentName));
    QPrintDialog dialog(&printer, m_dialogParent);
    dialog.setWindowTitle(QStringLiteral("Print Report"));
    if (dialog.exec() != QDialog::Accepted) {
        return PrintOutcome::Cancelled;
    }
    const bool toPdf =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    if (gate && !gate(toPdf ? PrintTarget::PdfFile : PrintTarget::Printer, error)) {
        return PrintOutcome::Failed;
    }
    // Busy while the pages are set, not while the dialog waited for the user.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    if (toPdf) {
        return writePdf(reportText, printer.outputFileName().toStdString(), printer.pageLayout(),
                        printer.resolution(), error);
    }
    return render(printer, printer.resolution(), reportText, error,
                  "The printer cannot be opened.");
}

PrintOutcome QtReportPrinter::printToPdf(const std::string& reportText, const std::string& pdfFile,
                                         std::string& error) {
    const QFileInfo target(QString::fromStdString(pdfFile));
    if (!target.absoluteDir().exists() || target.isDir()) {
        error = "The PDF file " + pdfFile + " cannot be written: its folder does not exist.";
        return PrintOutcome::Failed;
    }
    QPrinter defaults(QPrinter::HighResolution);
    defaults.setOutputFormat(QPrinter::PdfFormat);
    return writePdf(reportText, pdfFile, defaults.pageLayout(), defaults.resolution(), error);
}

PrintOutcome QtReportPrinter::writePdf(const std::string& reportText, const std::string& pdfFile,
                                       const QPageLayout& layout, int resolution,
                                       std::string& error) {
    const std::string unwritten = "The PDF file " + pdfFile + " cannot be written";
    // Set in memory, checked to be a whole PDF, and only then put in place through the file
    // layer, which keeps the earlier file whole when the disk fails.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(resolution);
        writer.setPageLayout(layout);
        if (render(writer, resolution, reportText, error, unwritten + ".") !=
            PrintOutcome::Printed) {
            return PrintOutcome::Failed;
        }
    }
    const std::string_view bytes(pdf.constData(), static_cast<std::size_t>(pdf.size()));
    if (const std::string problem = PdfProblem(bytes); !problem.empty()) {
        error = unwritten + ": " + problem + ".";
        return PrintOutcome::Failed;
    }
    static const FileSystem plain;
    const FileSystem& files = m_files != nullptr ? *m_files : plain;
    try {
        files.replaceFile(pdfFile, bytes);
    } catch (const FileError& e) {
        error = unwritten + ": Error " + std::to_string(e.number()) + ": " + e.description() + ".";
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}

}  // namespace qlm
