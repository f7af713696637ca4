#include "ui/Help.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>
#include <array>
#include <utility>

#include "ui/Browser.h"

namespace qlm {

namespace {

constexpr const char* HelpTitle = "Help";
constexpr const char* TestScreen = "frmPresentQA";

struct ScreenSection {
    const char* screen;
    const char* section;
};

constexpr std::array<ScreenSection, 13> Sections{{
    {"frmMainMenu", "main-menu"},
    {"frmSelectEntryMethod", "entry-method"},
    {"frmClientInfo", "client-information"},
    {"frmCourtHistory", "court-history"},
    {"frmNewEntry", "answer-grids"},
    {"frmSelectLanguage", "language"},
    {"frmSupervisorOptions", "supervisor-options"},
    {"frmMyInputBox", "secret-code"},
    {"frmViewReport", "view-report"},
    {"frmPrintSelected", "print-selected"},
    {"frmVerify", "verify-data"},
    {"frmDriveSelect", "drive-select"},
    {"frmAbout", "about-box"},
}};

QString sectionOf(const QWidget* window) {
    if (qobject_cast<const QMessageBox*>(window) != nullptr) {
        return QStringLiteral("messages");
    }
    for (const ScreenSection& known : Sections) {
        if (window->objectName() == QLatin1String(known.screen)) {
            return QString::fromLatin1(known.section);
        }
    }
    return {};
}

bool testScreenShown() {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->objectName() == QLatin1String(TestScreen)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool DesktopBrowser::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

QUrl GuideUrl(const std::string& guideFile, const QString& section) {
    QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(guideFile)));
    if (!section.isEmpty()) {
        url.setFragment(section);
    }
    return url;
}

QString GuideSection(const QWidget* window) {
    // A dialog of the toolkit (a file or print dialog) is helped by the screen that opened it.
    for (; window != nullptr;
         window = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr) {
        if (QString section = sectionOf(window); !section.isEmpty()) {
            return section;
        }
    }
    return {};
}

Message NoGuideMessage(const std::string& guideFile) {
    return {"The user guide is not installed: " + guideFile +
                " cannot be found.\r\n\r\nAsk your administrator to install the program's "
                "documentation.",
            HelpTitle, MsgIcon::Information, MsgButtons::OK};
}

Message NoBrowserMessage(const std::string& guideFile) {
    return {"No web browser could be started to show the user guide.\r\n\r\nOpen the file " +
                guideFile + " in a browser.",
            HelpTitle, MsgIcon::Information, MsgButtons::OK};
}

void ShowHelp(const std::string& guideFile, const QString& section, Browser& browser,
              Messages& messages) {
    if (guideFile.empty() ||
        !QFileInfo(QFile::decodeName(QByteArray::fromStdString(guideFile))).isFile()) {
        messages.show(NoGuideMessage(guideFile));
        return;
    }
    if (!browser.openUrl(GuideUrl(guideFile, section))) {
        messages.show(NoBrowserMessage(guideFile));
    }
}

HelpKey::HelpKey(std::string guideFile, Browser& browser, Messages& messages, QObject* parent)
    : QObject(parent), m_guideFile(std::move(guideFile)), m_browser(browser), m_messages(messages) {
    QApplication::instance()->installEventFilter(this);
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        !watched->isWidgetType()) {
        return false;
    }
    if (!testScreenShown()) {
        ShowHelp(m_guideFile, GuideSection(static_cast<QWidget*>(watched)->window()), m_browser,
                 m_messages);
    }
    return true;
}

}  // namespace qlm
