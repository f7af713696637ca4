#pragma once

#include <array>

#include "ui/Screen.h"

class QGroupBox;
class QLabel;
class QListWidget;

namespace qlm {

class MenuChoice;
struct Services;
struct Session;

// Every client in a list of which any number are chosen; their reports are made and printed
// in client order.
class FrmPrintSelected : public Screen {
    Q_OBJECT

public:
    FrmPrintSelected(Session& session, Services& services, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillClientList();
    void UpdatePrintChoice();
    void printSelected();

    Session& m_session;
    Services& m_services;
    QGroupBox* m_fraClient = nullptr;
    QListWidget* m_lbNameDisplay = nullptr;
    std::array<MenuChoice*, 3> m_choices{};
    QLabel* m_msgPanel = nullptr;
};

}  // namespace qlm
