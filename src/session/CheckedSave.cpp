#include "session/CheckedSave.h"

#include "session/DataLocation.h"
#include "session/DriveSelect.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/FileError.h"

namespace qlm {

namespace {

// The data disk's messages separate their paragraphs with two carriage returns.
constexpr const char* Paragraph = "\r\r";

Message locationLostMessage(const SaveTexts& texts) {
    return {std::string("Original data disk still not found!") + Paragraph + texts.subject +
                " could not be saved. Put the data disk used when the program was started back "
                "in its drive." +
                Paragraph + texts.retryAdvice,
            "Data Disk Not Found", MsgIcon::Critical, MsgButtons::OK};
}

Message saveFailedMessage(const SaveTexts& texts, const FileError& error) {
    return {texts.subject + " could not be saved." + Paragraph + "Error " +
                std::to_string(error.number()) + ": " + error.description() + Paragraph +
                "The client file on the data disk is as it was before. " + texts.retryAdvice,
            "Data Disk Error", MsgIcon::Critical, MsgButtons::OK};
}

}  // namespace

Message ClientTableFullMessage() {
    return {"The data disk already holds " + std::to_string(Session::MaxClients) +
                " clients, as many as it can hold. Use another data disk for a new client.",
            "Data Disk Full", MsgIcon::Critical, MsgButtons::OK};
}

bool SaveClientChecked(Session& session, Messages& messages, int n, const ClientRecord& before,
                       const SaveTexts& texts) {
    ClientRecord& entry = session.ClientTable.at(static_cast<std::size_t>(n));
    const bool located = CheckDataLocation(
        session, [&] { messages.show(DataDiskChangedMessage()); },
        [&] { messages.show(locationLostMessage(texts)); });
    if (!located) {
        entry = before;
        return false;
    }
    try {
        SaveClient(session, n);
    } catch (const FileError& error) {
        // The file is replaced whole or not at all, so the disk still holds `before`.
        entry = before;
        messages.show(saveFailedMessage(texts, error));
        return false;
    }
    return true;
}

}  // namespace qlm
