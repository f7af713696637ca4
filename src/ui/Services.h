#pragma once

#include "ui/AudioPlayer.h"
#include "ui/Browser.h"
#include "ui/Clock.h"
#include "ui/Messages.h"
#include "ui/ReportPrinter.h"

namespace qlm {

// Everything a screen needs from outside the process, built once in main (doubles in tests),
// so that a screen takes the session and this one bundle.
struct Services {
    Messages& messages;
    Clock& clock;
    AudioPlayer& audio;
    ReportPrinter& printer;
    Browser& browser;
};

}  // namespace qlm
