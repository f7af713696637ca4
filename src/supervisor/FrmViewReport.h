#pragma once

#include "ui/Screen.h"

class QPlainTextEdit;
class QPushButton;

namespace qlm {

struct Services;
struct Session;

// The current client's report, written afresh when the window opens, shown whole and printed
// on request.
class FrmViewReport : public Screen {
    Q_OBJECT

public:
    FrmViewReport(Session& session, Services& services, QWidget* parent = nullptr);

protected:
    void firstShown() override;
    // Keys reach the window before its buttons.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showReport();

    Session& m_session;
    Services& m_services;
    QPlainTextEdit* m_text1 = nullptr;
    QPushButton* m_cmdPrintReport = nullptr;
};

}  // namespace qlm
