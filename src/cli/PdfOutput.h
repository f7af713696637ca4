#pragma once

#include <string>

namespace qlm {
class FileSystem;
}

namespace qlm::cli {

// Sets report text in PDF pages as the desktop program prints them, without a display. Throws
// std::runtime_error saying why when the file cannot be written.
void WriteReportPdf(const FileSystem& files, const std::string& reportText,
                    const std::string& pdfFile);

}  // namespace qlm::cli
