#pragma once

#include <functional>

namespace qlm {

class FileError;
struct Session;

struct StartUpSteps {
    // Opens the data location: the desktop program asks the user where it is when the stored
    // one cannot be used, qlm takes --data or the FilePath setting. False ends the start.
    std::function<bool()> openLocation;
    // After the publisher's texts could not be read: true tries again, false ends the start.
    // Without it the texts are not read here; the report reads them when it is written.
    std::function<bool(const FileError&)> retry;
};

// The start-up both programs share: the data location and its client file, then the sound and
// question-bank paths from the settings, the publisher's code (and texts), the code tables and
// the test's shape. False when the program must end instead.
bool StartSession(Session& session, const StartUpSteps& steps);

}  // namespace qlm
