// quillmere: the desktop program.

#include <QApplication>
#include <QStringList>
#include <iostream>

#include "app/FrmMainMenu.h"
#include "app/SingleInstance.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "storage/FileSystem.h"
#include "report/QtReportPrinter.h"
#include "ui/AudioPlayer.h"
#include "ui/Clock.h"
#include "ui/QtMessages.h"
#include "ui/Services.h"

namespace {

int usage() {
    std::cerr << "usage: quillmere [--home DIR]\n"
                 "  --home DIR   the program folder (also QUILLMERE_HOME); default: the\n"
                 "               executable's own folder\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmere"));

    // Qt has taken its own options; what is left is ours.
    QString home;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size()) {
            home = args[++i];
        } else if (args[i].startsWith(QLatin1String("--home="))) {
            home = args[i].mid(7);
        } else {
            std::cerr << "quillmere: unknown argument \"" << args[i].toStdString() << "\"\n";
            return usage();
        }
    }

    qlm::SingleInstance instance;
    if (instance.AskRunningCopyToFront()) {
        std::cerr << "quillmere: already running; its window is brought to the front.\n";
        return 0;
    }
    instance.Listen();

    const qlm::FileSystem files;
    qlm::Session session(files, qlm::ResolveProgramFolder(home.toLocal8Bit().toStdString()));
    qlm::QtMessages messages;
    qlm::SystemClock clock;
    qlm::SilentAudioPlayer audio;
    qlm::QtReportPrinter printer;
    qlm::Services services{messages, clock, audio, printer};
    qlm::FrmMainMenu menu(session, services);
    QObject::connect(&instance, &qlm::SingleInstance::frontRequested, &menu,
                     &qlm::FrmMainMenu::comeToFront);
    if (!menu.StartUp()) {
        return 0;
    }
    menu.show();
    menu.activateWindow();
    return QApplication::exec();
}
