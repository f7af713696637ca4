#pragma once

#include <string>

#include "session/EntryMode.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/FileSystem.h"
#include "support/FakeServices.h"
#include "support/TestFolder.h"

namespace qlm::test {

// A data location whose client file holds `onDisk`, loaded into a session, with the service
// doubles: the ground of the entry screens' tests.
struct EntryProgram {
    TestFolder folder;
    FileSystem files;
    Session session;
    FakeServices fake;
    std::string onDisk;
    // What the screens under test are opened for.
    EntryMode mode = EntryMode::NewClient;
    // What the screen's exec() returned.
    int outcome = 0;
    bool accepted() const { return outcome == 1; }

    explicit EntryProgram(std::string clientFile, FaultInjector faults = {})
        : files(std::move(faults)),
          session(files, folder.program()),
          onDisk(std::move(clientFile)) {
        TestFolder::write(folder.clientFile(), onDisk);
        session.DataPath = folder.data();
        LoadClients(session, folder.clientFile());
    }

    // The client after the last one, not yet in the file, as the client information screen
    // leaves it.
    void newClient() {
        mode = EntryMode::NewClient;
        ClientRecord record;
        record.set(&ClientRecord::Name, "NEWCOMER, KIM");
        session.CurrentClient = session.Clients.NewClient(record);
    }
    void editClient(int n) {
        mode = EntryMode::Edit;
        session.CurrentClient = n;
    }
    const ClientRecord& current() const { return session.current(); }
};

}  // namespace qlm::test
