#include "app/Session.h"
#include "report/Report.h"
#include "scoring/Scoring.h"

namespace qlm {

void MakeReport(Session& session, const std::string& path) {
    ScoreCurrentClient(session);
    WriteReport(session, path);
}

}  // namespace qlm
