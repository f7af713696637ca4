#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "report/Publisher.h"
#include "report/Report.h"
#include "scoring/ScoringState.h"
#include "scoring/ScoringTables.h"
#include "scoring/TestSpec.h"
#include "session/ProgramFolder.h"
#include "session/Settings.h"
#include "storage/ClientFile.h"
#include "storage/ClientRecord.h"
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
          ProgramFolder(std::move(programFolder)),
          DataFolder(user.data.empty() ? ProgramFolder : std::move(user.data)),
          ReportFolder(user.report.empty() ? ProgramFolder : std::move(user.report)),
          GuideFile(std::move(user.guide)),
          Settings(Files, user.settings.empty() ? ProgramFolder : user.settings, user.defaults) {}

    // One of the program's own files (the data files, the question bank), from its data folder.
    std::string programFile(const std::string& name) const { return DataFolder + "/" + name; }
    // The report file "report.prn".
    std::string reportFile() const { return ReportFolder + "/" + ReportFileName; }

    const FileSystem& Files;
    // The executables' folder; the data files lie in DataFolder, the same folder but for an
    // installed program.
    std::string ProgramFolder;
    std::string DataFolder;
    std::string ReportFolder;
    // The user guide (HTML), for help on a screen; empty where the folders were not resolved.
    std::string GuideFile;
    qlm::Settings Settings;

    // The data location and its clients; entry 0 of the table is never a client.
    std::string DataPath;
    std::string ClientFileName;
    qlm::ClientTable ClientTable;
    // Per record, what makes it damaged; empty for a sound one. A damaged record is shown
    // marked, never scored, and never repaired behind the user's back.
    std::array<std::string, MaxClients + 1> Damage{};
    std::int16_t NumberOfClients = 0;
    std::int16_t CurrentClient = 0;
    // The client file this run has backed up already: a copy is made before its first write.
    std::string BackedUpClientFile;

    bool EditMode = false;
    bool ScanEditMode = false;
    bool ContinueEntry = false;
    bool MainMenuActive = false;

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
