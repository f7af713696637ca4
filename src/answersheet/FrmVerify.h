#pragma once

#include <optional>

#include "answersheet/Verification.h"
#include "ui/Screen.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qlm {

struct Services;
struct Session;

// The supervisor types the current client's answers a second time from the answer sheet, without
// seeing the stored ones, then a third time for the items that differ; the result is saved.
class FrmVerify : public Screen {
    Q_OBJECT

public:
    FrmVerify(Session& session, Services& services, QWidget* parent = nullptr);

    const Verification& verification() const { return m_verification; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildScreen();
    void showPosition();
    void entryKey(const QKeyEvent* key);
    // The verification ended (NoCorrections or Complete): store what it gives, save, and say
    // so; a save that fails keeps the screen for another try.
    void finish(VerifyStep end);

    Session& m_session;
    Services& m_services;
    Verification m_verification;
    bool m_typed = false;
    // The verification that ended but is not saved yet.
    std::optional<VerifyStep> m_unsaved;

    QGroupBox* m_frAll = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QLabel* m_lblCurQuestion = nullptr;
    QLineEdit* m_txtCurQuestion = nullptr;
    QLabel* m_lblPrevQuestion = nullptr;
    QLineEdit* m_txtPrevQuestion = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QLabel* m_pnlMessage = nullptr;
};

}  // namespace qlm
