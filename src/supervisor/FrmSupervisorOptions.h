#pragma once

#include <array>

#include "ui/Screen.h"

class QFrame;
class QLabel;
class QRadioButton;
class QTabWidget;

namespace qlm {

class MenuChoice;
struct Services;
struct Session;

// The staff's operations on the whole data location: reports (behind the secret code),
// verification of typed answers, and deleting the clients' names.
class FrmSupervisorOptions : public Screen {
    Q_OBJECT

public:
    static constexpr int ReportsTab = 0;
    static constexpr int VerifyTab = 1;
    static constexpr int DeleteNamesTab = 2;

    FrmSupervisorOptions(Session& session, Services& services, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void firstShown() override;

private:
    void tabChanged(int tab);
    void execute();
    void runReportOption();
    QString currentName() const;

    Session& m_session;
    Services& m_services;
    bool m_emptyDisk = false;
    int m_lastTab = ReportsTab;
    int m_printOption = 0;

    QTabWidget* m_sstSupervisorOperations = nullptr;
    std::array<QRadioButton*, 3> m_optPrintOption{};
    QLabel* m_lblNameDisplay = nullptr;
    std::array<MenuChoice*, 2> m_choices{};
    QFrame* m_tabPanel = nullptr;
    QLabel* m_msgPanel = nullptr;
};

}  // namespace qlm
