#include "session/SiteCode.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "storage/Profile.h"

namespace qlm {

namespace {

void startSodium() {
    if (sodium_init() < 0) {
        throw std::runtime_error("the cryptography library libsodium cannot be started");
    }
}

}  // namespace

SiteCode::SiteCode(const FileSystem& files, std::string settingsFile)
    : m_files(files), m_settingsFile(std::move(settingsFile)) {}

std::optional<std::string> SiteCode::storedHash() const {
    if (!m_files.exists(m_settingsFile)) {
        return std::nullopt;
    }
    auto hash = ReadProfileValue(m_files.readFile(m_settingsFile), Section, Key);
    if (!hash || hash->empty()) {
        return std::nullopt;
    }
    return hash;
}

bool SiteCode::matches(const std::string& typed) const {
    const auto hash = storedHash();
    if (!hash) {
        return typed.size() == 1 && (typed[0] == DefaultCode || typed[0] == DefaultCode + 32);
    }
    startSodium();
    return crypto_pwhash_str_verify(hash->c_str(), typed.data(), typed.size()) == 0;
}

std::size_t SiteCode::inputLength() const {
    try {
        return isSet() ? MaxLength : 8;
    } catch (const FileError&) {
        return MaxLength;
    }
}

std::string SiteCode::Problem(const std::string& code) {
    if (code.size() < MinLength) {
        return "the code must have at least " + std::to_string(MinLength) + " characters";
    }
    if (code.size() > MaxLength) {
        return "the code must have at most " + std::to_string(MaxLength) + " characters";
    }
    // What every keyboard layout types into the prompt the same way.
    if (!std::all_of(code.begin(), code.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        return "the code must be made of letters, digits, blanks and the signs of a US keyboard";
    }
    return {};
}

void SiteCode::set(const std::string& code) const {
    if (const std::string problem = Problem(code); !problem.empty()) {
        throw std::invalid_argument(problem);
    }
    startSodium();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, code.data(), code.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        throw std::runtime_error("the code could not be hashed: out of memory");
    }
    store(hash);
}

void SiteCode::clear() const {
    store("");
}

void SiteCode::store(const std::string& value) const {
    const std::string content =
        m_files.exists(m_settingsFile) ? m_files.readFile(m_settingsFile) : std::string();
    m_files.replaceFile(m_settingsFile, WriteProfileValue(content, Section, Key, value));
}

void SiteCode::wrongCode(std::chrono::steady_clock::time_point now) {
    ++m_wrong;
    m_nextTry = now + GuessDelay(m_wrong);
}

std::chrono::seconds SiteCode::waitLeft(std::chrono::steady_clock::time_point now) const {
    if (now >= m_nextTry) {
        return std::chrono::seconds(0);
    }
    return std::chrono::ceil<std::chrono::seconds>(m_nextTry - now);
}

bool SiteCode::defaultNoticeDue() {
    if (m_noticeGiven) {
        return false;
    }
    try {
        m_noticeGiven = !isSet();
    } catch (const FileError&) {
        return false;  // the prompt says what is wrong with the settings
    }
    return m_noticeGiven;
}

std::chrono::seconds GuessDelay(int wrong) {
    constexpr int Free = 3;
    if (wrong <= Free) {
        return std::chrono::seconds(0);
    }
    const int doublings = wrong - Free - 1;
    return std::chrono::seconds(doublings >= 5 ? 30 : 1 << doublings);
}

}  // namespace qlm
