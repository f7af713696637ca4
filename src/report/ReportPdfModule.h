#pragma once

// The PDF writer as a module of its own (libqlmpdf.so), loaded by qlm only to write a PDF, so
// that its other commands start without the toolkit. Its one entry point is plain C: the
// module and its caller share no C++ types.

#include <stddef.h>

namespace qlm {

inline constexpr const char* ReportPdfModuleName = "libqlmpdf.so";
// Where the package installs the module, for a qlm that is not beside it.
inline constexpr const char* ReportPdfModuleFolder = "/usr/lib/quillmere";
// The entry point's name; a new one for every change of its signature or meaning.
inline constexpr const char* ReportPdfEntryName = "qlm_write_report_pdf_1";

}  // namespace qlm

// Sets the report text (Latin-1, pages split at form feeds) in PDF pages as the desktop
// program prints them, without a display, and puts the file `pdfFile` in place only once it is
// whole. Returns 0; or 1 with the reason, NUL-terminated, in `error` (`errorSize` bytes).
extern "C" int qlm_write_report_pdf_1(const char* reportText, size_t reportLength,
                                      const char* pdfFile, char* error, size_t errorSize);
using QlmWriteReportPdf = decltype(&qlm_write_report_pdf_1);
