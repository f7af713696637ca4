#pragma once

#include <QStringList>
#include <array>
#include <optional>
#include <string>

#include "entry/ClientInfoRules.h"
#include "session/EntryMode.h"
#include "ui/Screen.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;

namespace qlm {

class FileError;
class MenuChoice;
struct Services;
struct Session;

// The client information screen: name, age, sex, race, education and date of birth of the
// current client. A new client's data stays in the client table only; an existing client's
// changed record is written back before the screen closes, within the edit limit.
class FrmClientInfo : public Screen {
    Q_OBJECT

public:
    // exec() returns Accepted when the information was taken (and an edited client's saved).
    FrmClientInfo(Session& session, Services& services, EntryMode mode, QWidget* parent = nullptr);

    // Fills the screen from the current client's table entry.
    void RecordToScreen();
    // Copies the screen into the current client's table entry (memory only).
    void RecordToDB();

    // The screen's fields as they are compared and stored (a name the record cannot keep in
    // its single-byte form reads as empty).
    ClientInfoContents Contents() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void firstShown() override;

private:
    void buildScreen();
    // Every field as it shows, to tell whether anything was typed.
    QStringList shownTexts() const;
    QWidget* field(ClientInfoField k) const;
    std::optional<ClientInfoField> fieldOf(QObject* widget) const;
    std::string content(ClientInfoField k) const;
    std::optional<std::string> nameText() const;
    void setContent(ClientInfoField k, const std::string& content);

    bool fieldKey(ClientInfoField k, QKeyEvent* key);
    bool acceptField(ClientInfoField k);
    void refuse(ClientInfoField k);
    void refuseName();
    void focusAfter(ClientInfoField k);
    void fieldEntered(ClientInfoField k);
    void fieldLeft(ClientInfoField k);
    void mapList(ClientInfoField k, bool openWhenUnknown);
    void setFieldsEnabled(bool on);
    void updateOkPrompt();

    void informationOk();
    bool saveEditedClient(const ClientRecord& before);

    bool editing() const { return m_mode == EntryMode::Edit; }

    Session& m_session;
    Services& m_services;
    EntryMode m_mode;
    EditTracker m_tracker;
    int m_nameDeletedFlag = 0;
    QStringList m_openedWith;

    QFrame* m_frClient = nullptr;
    std::array<QLabel*, ClientInfoFieldCount> m_lblInfo{};
    QLineEdit* m_txtName = nullptr;
    QLineEdit* m_txtAge = nullptr;
    QComboBox* m_cmbGender = nullptr;
    QComboBox* m_cmbRace = nullptr;
    QLineEdit* m_txtEducation = nullptr;
    QLineEdit* m_mebDateOfBirth = nullptr;
    std::array<MenuChoice*, 2> m_choices{};
    QLabel* m_msgPanel = nullptr;
};

}  // namespace qlm
