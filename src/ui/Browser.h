#pragma once

#include <QUrl>

namespace qlm {

// Shows a page in the desktop's web browser; tests record the pages instead.
class Browser {
public:
    virtual ~Browser() = default;
    // False when no browser could be started.
    virtual bool openUrl(const QUrl& url) = 0;
};

class DesktopBrowser : public Browser {
public:
    bool openUrl(const QUrl& url) override;
};

}  // namespace qlm
