#include "cli/PdfOutput.h"

#include <dlfcn.h>

#include <array>
#include <filesystem>
#include <stdexcept>

#include "report/ReportPdfModule.h"

namespace qlm::cli {

std::vector<std::string> PdfModuleCandidates() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    std::vector<std::string> candidates;
    if (!error) {
        candidates.push_back((self.parent_path() / ReportPdfModuleName).string());
    }
    candidates.push_back(std::string(ReportPdfModuleFolder) + "/" + ReportPdfModuleName);
    return candidates;
}

void WriteReportPdf(const std::string& reportText, const std::string& pdfFile,
                    const std::vector<std::string>& modules) {
    std::string module;
    for (const std::string& candidate : modules) {
        std::error_code ignored;
        if (std::filesystem::exists(candidate, ignored)) {
            module = candidate;
            break;
        }
    }
    if (module.empty()) {
        std::string looked;
        for (const std::string& candidate : modules) {
            looked += (looked.empty() ? "" : ", ") + candidate;
        }
        throw std::runtime_error("no PDF was written: the PDF writer " +
                                 std::string(ReportPdfModuleName) +
                                 " is not installed (looked for " + looked + ")");
    }
    // Kept loaded until the process ends: the toolkit it brings does not unload cleanly.
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        throw std::runtime_error("no PDF was written: the PDF writer " + module +
                                 " cannot be loaded: " + dlerror());
    }
    const auto write = reinterpret_cast<QlmWriteReportPdf>(dlsym(handle, ReportPdfEntryName));
    if (write == nullptr) {
        throw std::runtime_error("no PDF was written: " + module +
                                 " is not the PDF writer of this qlm (it has no " +
                                 ReportPdfEntryName + ")");
    }
    std::array<char, 1024> error{};
    if (write(reportText.data(), reportText.size(), pdfFile.c_str(), error.data(), error.size()) !=
        0) {
        throw std::runtime_error(error.data());
    }
}

}  // namespace qlm::cli
