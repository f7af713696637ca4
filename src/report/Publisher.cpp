#include "report/Publisher.h"

#include "storage/ClientRecord.h"
#include "storage/FileError.h"
#include "storage/FileSystem.h"
#include "storage/Profile.h"

namespace qlm {

PublisherCode ReadPublisherCode(const FileSystem& files, const std::string& dataFolder) {
    try {
        std::string text = files.readFile(dataFolder + "/PUBLISHER.CFG");
        text = Trim(text.substr(0, text.find_first_of("\r\n")));
        return text == "1" ? PublisherCode::First : PublisherCode::Second;
    } catch (const FileError&) {
        return PublisherCode::Second;
    }
}

PublisherTexts LoadPublisherTexts(const FileSystem& files, const std::string& dataFolder,
                                  PublisherCode code) {
    const std::string path = dataFolder + "/PUBLISHERS.TXT";
    const std::string content = files.readFile(path);
    const std::string section = code == PublisherCode::First ? "Publisher1" : "Publisher2";
    const auto get = [&](const char* key) {
        auto value = ReadProfileValue(content, section, key);
        if (!value) {
            throw FileError(
                FileError::PathFileAccess,
                "The publisher file has no " + std::string(key) + " in [" + section + "]", path);
        }
        return *value;
    };
    return PublisherTexts{get("Name"),       get("AddressLine"),  get("WebAddress"),
                          get("Email"),      get("Phone"),        get("InfoLine"),
                          get("RightsLine"), get("ReservedLine"), get("InterpretationLine"),
                          get("AboutNotice")};
}

}  // namespace qlm
