#include "storage/AccessLog.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "storage/ClientFile.h"
#include "storage/ClientStore.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"

namespace qlm {

namespace {

constexpr std::size_t TimeLength = 20;  // "2026-12-07T10:15:00Z"

// A field the log takes from outside (a user or folder name): controls, the tab and the
// backslash written as \xHH, so that no name can add a line or a field of its own.
std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7F || c == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string utcTime(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string systemUser() {
    if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_name != nullptr) {
        return user->pw_name;
    }
    return std::to_string(::geteuid());
}

// "1-3,7": runs of following numbers as ranges.
std::string clientList(std::vector<int> clients) {
    std::sort(clients.begin(), clients.end());
    std::string text;
    for (std::size_t i = 0; i < clients.size();) {
        std::size_t j = i;
        while (j + 1 < clients.size() && clients[j + 1] <= clients[j] + 1) {
            ++j;
        }
        text += (text.empty() ? "" : ",") + std::to_string(clients[i]);
        if (clients[j] != clients[i]) {
            text += "-" + std::to_string(clients[j]);
        }
        i = j + 1;
    }
    return text.empty() ? "-" : text;
}

bool perClient(AccessAction action) {
    return action == AccessAction::View || action == AccessAction::Print ||
           action == AccessAction::Pdf || action == AccessAction::Report ||
           action == AccessAction::Score;
}

// The same location however it was named: absolute, links followed, no trailing slash.
std::string samePath(const std::string& location) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(location, ec);
    std::string path = std::filesystem::weakly_canonical(absolute, ec);
    if (ec) {
        path = absolute.lexically_normal();
    }
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::vector<std::string> linesOf(const FileSystem& files, const std::string& path) {
    std::vector<std::string> lines;
    if (!files.exists(path)) {
        return lines;
    }
    const std::string text = files.readFile(path);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

}  // namespace

const char* ActionName(AccessAction action) {
    switch (action) {
        case AccessAction::View:
            return "view";
        case AccessAction::Print:
            return "print";
        case AccessAction::Pdf:
            return "pdf";
        case AccessAction::Report:
            return "report";
        case AccessAction::Score:
            return "score";
        case AccessAction::Export:
            return "export";
        case AccessAction::DeleteNames:
            return "delete-names";
        case AccessAction::Verify:
            return "verify";
        case AccessAction::Edit:
            return "edit";
        case AccessAction::NewClient:
            return "new-client";
        case AccessAction::Restore:
            return "restore";
    }
    return "?";
}

AccessLog::AccessLog(const FileSystem& files, std::string userFolder, std::string program)
    : m_files(files), m_userFolder(std::move(userFolder)), m_program(std::move(program)) {}

bool AccessLog::canWrite(const std::string& location) const {
    if (::access(location.c_str(), W_OK) != 0) {
        return false;
    }
    try {
        m_files.lock(location + "/" + LockFileBaseName, std::chrono::milliseconds(0),
                     location + "/" + ClientFileBaseName);
    } catch (const FileError& error) {
        // Held by another program: the lock file is there, so the location can be written.
        return error.number() == FileError::InUse;
    }
    return true;
}

std::string AccessLog::record(const std::string& location, AccessAction action,
                              const std::vector<int>& clients,
                              std::chrono::system_clock::time_point now) const {
    if (location.empty()) {
        throw FileError(FileError::BadFileName, "Bad file name: no data location is open");
    }
    const bool own = canWrite(location);
    const std::string head =
        utcTime(now) + "\t" + escaped(systemUser()) + "\t" + m_program + "\t" + ActionName(action);
    const std::string tail = own ? "\n" : "\t" + escaped(samePath(location)) + "\n";
    std::string lines;
    if (perClient(action)) {
        for (const int n : clients) {
            lines += head + "\t" + std::to_string(n) + tail;
        }
    } else {
        lines = head + "\t" + clientList(clients) + tail;
    }
    if (own) {
        // Owner-only, unless the client file is shared with a group for writing: then each
        // account that works on the clients must be able to add its lines.
        const std::string clientFile = location + "/" + ClientFileBaseName;
        struct stat st {};
        const bool shared = ::stat(clientFile.c_str(), &st) == 0 && (st.st_mode & S_IWGRP) != 0;
        std::string path = location + "/" + AccessLogFileName;
        m_files.appendLines(path, lines, shared ? clientFile : std::string());
        return path;
    }
    // The user's own folder, made owner-only with any folder missing above it.
    std::vector<std::string> missing;
    for (std::filesystem::path folder = m_userFolder;
         !folder.empty() && !m_files.exists(folder.string()); folder = folder.parent_path()) {
        missing.push_back(folder.string());
        if (folder == folder.parent_path()) {
            break;
        }
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        m_files.makeFolder(*folder);
    }
    std::string path = m_userFolder + "/" + AccessLogFileName;
    m_files.appendLines(path, lines);
    return path;
}

std::vector<std::string> AccessLog::read(const std::string& location,
                                         const std::string& since) const {
    std::vector<std::string> lines;
    for (std::string& line : linesOf(m_files, location + "/" + AccessLogFileName)) {
        lines.push_back(std::move(line));
    }
    const std::string named = "\t" + escaped(samePath(location));
    for (std::string& line : linesOf(m_files, m_userFolder + "/" + AccessLogFileName)) {
        if (line.ends_with(named)) {
            lines.push_back(std::move(line));
        }
    }
    std::erase_if(lines, [&](const std::string& line) { return line.substr(0, 10) < since; });
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        return a.substr(0, TimeLength) < b.substr(0, TimeLength);
    });
    return lines;
}

}  // namespace qlm
