#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/FakeMessages.h"
#include "ui/Services.h"

namespace qlm::test {

// A calendar standing still on one day.
class FixedClock : public Clock {
public:
    std::string Today() const override { return today; }
    std::string today = "12/07/2026";
};

// A player that hears nothing and remembers every file it was asked to play.
class RecordingAudio : public AudioPlayer {
public:
    bool available() const override { return heard; }
    bool play(const std::string& waveFile, std::string& error) override {
        played.push_back(waveFile);
        error = failWith;
        return failWith.empty();
    }
    void stop() override { ++stops; }

    bool heard = true;
    std::string failWith;
    std::vector<std::string> played;
    int stops = 0;
};

// A printer that keeps the text of each job instead of printing it.
class RecordingPrinter : public ReportPrinter {
public:
    PrintOutcome print(const std::string& reportText, const std::string&,
                       std::string& error) override {
        if (whenAsked) {
            whenAsked();
        }
        return record(reportText, error);
    }
    PrintOutcome printToPdf(const std::string& reportText, const std::string&,
                            std::string& error) override {
        return record(reportText, error);
    }

    PrintOutcome outcome = PrintOutcome::Printed;
    std::string failWith;
    std::vector<std::string> jobs;
    // Runs where the user would choose the printer.
    std::function<void()> whenAsked;

private:
    PrintOutcome record(const std::string& reportText, std::string& error) {
        if (outcome == PrintOutcome::Printed) {
            jobs.push_back(reportText);
        }
        error = failWith;
        return outcome;
    }
};

// A browser that keeps the pages it was asked to show.
class RecordingBrowser : public Browser {
public:
    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return starts;
    }

    bool starts = true;
    std::vector<QUrl> opened;
};

// The doubles of every service, and the bundle a screen takes.
struct FakeServices {
    FakeMessages messages;
    FixedClock clock;
    RecordingAudio audio;
    RecordingPrinter printer;
    RecordingBrowser browser;
    Services services{messages, clock, audio, printer, browser};
};

}  // namespace qlm::test
