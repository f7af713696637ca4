#pragma once

#include <string>

namespace qlm {

class FileSystem;

// Which of the two publishers' identity the program shows.
enum class PublisherCode { First, Second };

struct PublisherTexts {
    std::string Name;
    std::string AddressLine;
    std::string WebAddress;
    std::string Email;
    std::string Phone;
    std::string InfoLine;
    std::string RightsLine;
    std::string ReservedLine;
    std::string InterpretationLine;
    std::string AboutNotice;
};

// The installation's choice, from the one-line file "PUBLISHER.CFG" among the data files:
// "1" selects the first publisher; anything else, an empty or a missing file the second.
PublisherCode ReadPublisherCode(const FileSystem& files, const std::string& dataFolder);

// The texts of one publisher from "PUBLISHERS.TXT" among the data files. A missing file or key
// throws FileError naming what is missing.
PublisherTexts LoadPublisherTexts(const FileSystem& files, const std::string& dataFolder,
                                  PublisherCode code);

}  // namespace qlm
