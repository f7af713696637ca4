#pragma once

#include <string>
#include <vector>

namespace qlm::cli {

// Where the PDF writer module is looked for: beside the running executable, then where the
// package installs it.
std::vector<std::string> PdfModuleCandidates();

// Sets report text in PDF pages as the desktop program prints them, without a display, through
// the first of `modules` that exists. Throws std::runtime_error saying why when there is none,
// it cannot be loaded, or the file cannot be written.
void WriteReportPdf(const std::string& reportText, const std::string& pdfFile,
                    const std::vector<std::string>& modules = PdfModuleCandidates());

}  // namespace qlm::cli
