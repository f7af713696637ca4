#pragma once

#include <QStringList>
#include <array>

#include "entry/CourtHistoryRules.h"
#include "session/EntryMode.h"
#include "ui/Screen.h"

class QLabel;
class QLineEdit;
class QFrame;

namespace qlm {

class MenuChoice;
struct ClientRecord;
struct Services;
struct Session;

// The court history of the current client: eleven counts typed one after another, stored
// in the client table (never in the file) by "Information OK".
class FrmCourtHistory : public Screen {
    Q_OBJECT

public:
    // exec() returns Accepted when the counts were taken into the client table.
    FrmCourtHistory(Session& session, Services& services, EntryMode mode,
                    QWidget* parent = nullptr);

public slots:
    // Closing the window is Cancel Input.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void firstShown() override;

private:
    void buildScreen();
    std::string fieldText(int k) const;
    // Every field as it shows, to tell whether anything was typed.
    QStringList shownTexts() const;
    // Enter or Tab in field k: the text trimmed and upper-cased, then checked; accepted moves
    // on, refused is said and keeps the focus.
    void acceptField(int k);
    void refuseField(int k);
    void informationOK();
    void cancelInput();
    ClientRecord& currentRecord();

    Session& m_session;
    Services& m_services;
    EntryMode m_mode;
    QStringList m_openedWith;

    QLabel* m_lblClientName = nullptr;
    QFrame* m_frCourt = nullptr;
    std::array<QLineEdit*, CourtFieldCount> m_fields{};
    std::array<QLabel*, CourtFieldCount> m_captions{};
    std::array<MenuChoice*, 2> m_choices{};
    QLabel* m_msgPanel = nullptr;
};

}  // namespace qlm
