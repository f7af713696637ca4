#include <QApplication>
#include <QLabel>

// The desktop program. Its screens arrive subsystem by subsystem; until the main menu exists
// it only says so.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Quillmere: the main menu is not built yet; use qlm."));
    label.setWindowTitle(QStringLiteral("Quillmere"));
    label.show();
    return QApplication::exec();
}
