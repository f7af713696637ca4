#include "session/StartUp.h"

#include "scoring/TestSpec.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "storage/CodeTexts.h"
#include "storage/FileError.h"

namespace qlm {

bool StartSession(Session& session, const StartUpSteps& steps) {
    if (!steps.openLocation()) {
        return false;
    }
    session.SoundPath = session.Settings.GetINISndPath();
    session.QuestionBankPath = session.programFile(QuestionBankFileName);
    session.Publisher = ReadPublisherCode(session.Files, session.DataFolder);
    for (bool read = !steps.retry; !read;) {
        try {
            session.PublisherTexts =
                LoadPublisherTexts(session.Files, session.DataFolder, session.Publisher);
            read = true;
        } catch (const FileError& error) {
            if (!steps.retry(error)) {
                return false;
            }
        }
    }
    FillCodeTexts(session.Codes);
    SetTestSpec(session.Constants);
    return true;
}

}  // namespace qlm
