#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <string>

#include "ui/Messages.h"

class QWidget;

namespace qlm {

class Browser;

// The user guide opened at `section`: the guide's file URL with the section as its fragment.
QUrl GuideUrl(const std::string& guideFile, const QString& section);
// The guide's section on the screen `window` (by its name), or on the screen it stands over;
// "messages" for a message box, the guide's start for a window of no screen.
QString GuideSection(const QWidget* window);
// Said where the guide is not installed, or no browser could show it.
Message NoGuideMessage(const std::string& guideFile);
Message NoBrowserMessage(const std::string& guideFile);
// Opens the guide at `section` in the desktop's browser, or says why it cannot.
void ShowHelp(const std::string& guideFile, const QString& section, Browser& browser,
              Messages& messages);

// F1 on any window of the program opens the guide at that window's section. Not while the
// on-screen test is up: the guide names the secret code, and a browser is no place for the
// juvenile taking the test.
class HelpKey : public QObject {
public:
    HelpKey(std::string guideFile, Browser& browser, Messages& messages, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::string m_guideFile;
    Browser& m_browser;
    Messages& m_messages;
};

}  // namespace qlm
