// quillmere: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "app/FrmMainMenu.h"
#include "app/MainMenuWiring.h"
#include "app/SingleInstance.h"
#include "report/QtReportPrinter.h"
#include "session/ProgramFolder.h"
#include "session/Session.h"
#include "storage/FileSystem.h"
#include "testing/FrmPresentQA.h"
#include "ui/Clock.h"
#include "ui/QtAudioPlayer.h"
#include "ui/QtMessages.h"
#include "ui/Services.h"

// Last: Xlib's macros would clash with the toolkit's names.
#include <X11/Xlib.h>

namespace {

int usage() {
    std::cerr << "usage: quillmere [--home DIR]\n"
                 "  --home DIR   the program folder (also QUILLMERE_HOME); default: the\n"
                 "               executable's own folder\n";
    return 2;
}

// Why the desktop program cannot open a window here, or nothing when it can (or when a
// platform was named explicitly, which the toolkit then reports on itself).
std::optional<std::string> MissingDisplay() {
    if (std::getenv("QT_QPA_PLATFORM") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr) {
        return std::nullopt;
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return "no display (DISPLAY and WAYLAND_DISPLAY are unset)";
    }
    if (Display* connection = XOpenDisplay(display)) {
        XCloseDisplay(connection);
        return std::nullopt;
    }
    return std::string("cannot open the display \"") + display + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto why = MissingDisplay()) {
        std::cerr << "quillmere: " << *why
                  << ".\nThe desktop program needs a graphical display; the command-line companion "
                     "qlm works without one.\n";
        return 1;
    }
    QApplication app(argc, argv);
    // Only the name: a display name would be appended to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Quillmere"));
    QApplication::setDesktopFileName(QStringLiteral(QLM_APP_ID));
    // The installed icon theme's, else the one built into the program (a build, an unpacked copy),
    // at most 128 pixels: X11 sends the window's icon in one request, which 256 pixels overflow.
    const QIcon icon =
        QIcon::fromTheme(QStringLiteral("quillmere"), QIcon(QStringLiteral(":/quillmere.png")));
    QIcon windowIcon;
    for (const int size : {16, 32, 48, 64, 128}) {
        windowIcon.addPixmap(icon.pixmap(size));
    }
    QApplication::setWindowIcon(windowIcon);

    // Qt has taken its own options; what is left is ours.
    QCommandLineParser parser;
    const QCommandLineOption homeOption(QStringLiteral("home"), QString(), QStringLiteral("DIR"));
    parser.addOption(homeOption);
    const bool parsed = parser.parse(QApplication::arguments());
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        // Named as typed: a stray word, an option of no meaning here, or --home without its DIR.
        QString unknown = QStringLiteral("--home");
        if (!parser.positionalArguments().isEmpty()) {
            unknown = parser.positionalArguments().front();
        } else if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().front();
            unknown = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        }
        std::cerr << "quillmere: unknown argument \"" << unknown.toStdString() << "\"\n";
        return usage();
    }
    const QString home = parser.value(homeOption);

    qlm::SingleInstance instance;
    if (instance.Listen() == qlm::SingleInstance::Claim::SecondCopy) {
        std::cerr << "quillmere: already running; its window is brought to the front.\n";
        return 0;
    }

    const qlm::FileSystem files;
    const std::string programFolder = qlm::ResolveProgramFolder(home.toLocal8Bit().toStdString());
    qlm::Session session(
        files, programFolder,
        qlm::ResolveUserFolders(programFolder, qlm::FolderIsWritable(programFolder)));
    qlm::QtMessages messages;
    qlm::SystemClock clock;
    qlm::QtAudioPlayer audio;
    qlm::QtReportPrinter printer(nullptr, &files);
    qlm::DesktopBrowser browser;
    qlm::Services services{messages, clock, audio, printer, browser};
    qlm::FrmMainMenu menu(session, services);
    qlm::WireMainMenu(menu, session, services);
    QObject::connect(&instance, &qlm::SingleInstance::frontRequested, &menu,
                     &qlm::FrmMainMenu::comeToFront);
    if (!menu.StartUp()) {
        return 0;
    }
    menu.show();
    menu.activateWindow();
    // A location only read can take no test's answers.
    const int clientsBefore = session.Clients.NumberOfClients();
    if (!session.Clients.readOnly()) {
        menu.runScreens([&] {
            qlm::OfferToResumeTest(session, services, qlm::SecretCodeFor(session, services, &menu),
                                   &menu);
        });
    }
    // As after any sequence of screens: the list shows the file, the keyboard is the menu's.
    menu.ReturnToMenu(clientsBefore);
    return QApplication::exec();
}
