#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/Screen.h"

class QComboBox;

namespace qlm {

class Messages;

// Asks for a folder when "Browse..." is chosen; an empty text when the user cancelled.
using FolderPicker = std::function<QString(QWidget* parent, const QString& start)>;

// "Please select a drive": the drive list holds the location in use and this machine's
// mounted volumes; "Browse..." adds any folder. The list always stands on an entry, so
// "Done" always names a location.
class FrmDriveSelect : public Screen {
    Q_OBJECT

public:
    FrmDriveSelect(const std::string& currentPath, Messages& messages, FolderPicker picker = {},
                   QWidget* parent = nullptr);

    // The entry the list stands on.
    std::string SelectedDrive() const;
    // Shows the dialog modally: the chosen location, or nothing when it was closed without
    // "Done".
    static std::optional<std::string> Choose(const std::string& currentPath, Messages& messages,
                                             const FolderPicker& picker, QWidget* parent);

private:
    void browse();
    void addEntry(const QString& path);

    Messages& m_messages;
    FolderPicker m_picker;
    QComboBox* m_drives = nullptr;
};

}  // namespace qlm
