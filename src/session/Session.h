#pragma once

#include <string>

#include "report/Publisher.h"
#include "report/Report.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"
#include "session/ProgramFolder.h"
#include "session/Settings.h"
#include "session/SiteCode.h"
#include "storage/AccessLog.h"
#include "storage/ClientFile.h"
#include "storage/ClientRecord.h"
#include "storage/ClientStore.h"
#include "storage/CodeTexts.h"

namespace qlm {

class FileSystem;

// All program-wide state: created once in main and handed by reference to every screen and
// operation.
struct Session {
    static constexpr int MaxClients = qlm::MaxClients;

    // Everything is read from and kept in the program folder unless `user` names other folders.
    Session(const FileSystem& files, std::string programFolder, UserFolders user = {})
        : Files(files),
          Clients(files),
          ProgramFolder(std::move(programFolder)),
          DataFolder(user.data.empty() ? ProgramFolder : std::move(user.data)),
          ReportFolder(user.report.empty() ? ProgramFolder : std::move(user.report)),
          GuideFile(std::move(user.guide)),
          OwnDataPath(std::move(user.location)),
          Settings(Files, user.settings.empty() ? ProgramFolder : user.settings, user.defaults),
          Code(Files,
               (user.site.empty() ? ProgramFolder : user.site) + "/" + qlm::Settings::FileName),
          Log(Files, user.userData.empty() ? ReportFolder : user.userData, "quillmere") {}

    // One of the program's own files (the data files, the question bank), from its data folder.
    std::string programFile(const std::string& name) const { return DataFolder + "/" + name; }
    // The report file "report.prn".
    std::string reportFile() const { return ReportFolder + "/" + ReportFileName; }

    const FileSystem& Files;
    // The data location's client file and its clients; the only way to them.
    ClientStore Clients;
    // The executables' folder; the data files lie in DataFolder, the same folder but for an
    // installed program.
    std::string ProgramFolder;
    std::string DataFolder;
    std::string ReportFolder;
    // The user guide (HTML), for help on a screen; empty where the folders were not resolved.
    std::string GuideFile;
    // The user's own data location, for a FilePath that names none; empty where the folders
    // were not resolved.
    std::string OwnDataPath;
    qlm::Settings Settings;
    // The supervisor's secret code, from the installation's settings only.
    SiteCode Code;
    // Where every disclosure and change of client data is recorded; qlm names itself.
    AccessLog Log;

    // The data location as chosen, and the client being worked on (an entry of Clients).
    std::string DataPath;
    int CurrentClient = 0;

    // The client being worked on: its entry of the client table.
    ClientRecord& current() { return Clients.entry(CurrentClient); }
    const ClientRecord& current() const { return Clients.entry(CurrentClient); }

    std::string SoundPath;
    std::string QuestionBankPath;
    PublisherCode Publisher = PublisherCode::Second;
    qlm::PublisherTexts PublisherTexts;
    CodeTexts Codes;

    TestSpec Constants;
    ScoringState Scoring;
    ScoringTables Tables;
};

}  // namespace qlm
