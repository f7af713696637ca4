#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace qlm {

class FileSystem;

// The supervisor's secret code. A site sets its own (`qlm code set`): only a salted Argon2id
// hash of it is kept, in the installation's own settings file, which a user's settings cannot
// override; it is compared exactly. Without one, the letter Q in either case is the code.
// Guessing is slowed for the rest of the run: from the fourth wrong code on, each try waits.
class SiteCode {
public:
    static constexpr char DefaultCode = 'Q';
    static constexpr std::size_t MinLength = 6;
    static constexpr std::size_t MaxLength = 64;
    // Where the hash is kept in the settings file.
    static constexpr const char* Section = "Security";
    static constexpr const char* Key = "SecretCodeHash";

    SiteCode(const FileSystem& files, std::string settingsFile);

    const std::string& settingsFile() const { return m_settingsFile; }

    // The site's hash, or nothing while the default code is in use. A settings file that is
    // there but cannot be read throws FileError: then no code is known, and none opens.
    std::optional<std::string> storedHash() const;
    bool isSet() const { return storedHash().has_value(); }
    // Whether `typed` is the code (FileError as storedHash).
    bool matches(const std::string& typed) const;
    // The longest code the prompt must take.
    std::size_t inputLength() const;

    // Why `code` cannot be a site's code (too short or long, not printable ASCII), or empty.
    static std::string Problem(const std::string& code);
    // Stores the hash of `code`, whose Problem must be empty; or goes back to the default.
    // Throws FileError when the settings file cannot be written.
    void set(const std::string& code) const;
    void clear() const;

    // The run's wrong codes: how long the next try must wait from `now`.
    void wrongCode(std::chrono::steady_clock::time_point now);
    std::chrono::seconds waitLeft(std::chrono::steady_clock::time_point now) const;
    std::chrono::steady_clock::time_point nextTry() const { return m_nextTry; }
    // True once a run, the first time it is asked while the default code is in use.
    bool defaultNoticeDue();

private:
    void store(const std::string& value) const;

    const FileSystem& m_files;
    std::string m_settingsFile;
    int m_wrong = 0;
    std::chrono::steady_clock::time_point m_nextTry{};
    bool m_noticeGiven = false;
};

// How long the try after `wrong` wrong codes waits: nothing after the first three, then 1, 2,
// 4, 8 and 16 seconds, and 30 from then on.
std::chrono::seconds GuessDelay(int wrong);

}  // namespace qlm
