#include "supervisor/FrmViewReport.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "report/ReportFont.h"
#include "session/LogAccess.h"
#include "session/Operations.h"
#include "session/Session.h"
#include "storage/FileError.h"
#include "supervisor/ReportPrinting.h"
#include "ui/Messages.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"
#include "ui/Services.h"

namespace qlm {

FrmViewReport::FrmViewReport(Session& session, Services& services, QWidget* parent)
    : Screen("frmViewReport", QStringLiteral("Client Report"), parent),
      m_session(session),
      m_services(services) {
    auto* fraAll = new QFrame(this);
    fraAll->setObjectName(QStringLiteral("fraAll"));
    m_text1 = new QPlainTextEdit(fraAll);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setAccessibleName(QStringLiteral("Client Report"));
    m_text1->setReadOnly(true);
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setFont(ReportFont(10));
    m_cmdPrintReport = new QPushButton(QStringLiteral("&Print Report"), fraAll);
    m_cmdPrintReport->setObjectName(QStringLiteral("cmdPrintReport"));
    auto* cmdCancel = new QPushButton(QStringLiteral("&Close"), fraAll);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* button : {m_cmdPrintReport, cmdCancel}) {
        button->setAutoDefault(false);
        button->installEventFilter(this);
    }
    connect(m_cmdPrintReport, &QPushButton::clicked, this, [this] {
        try {
            PrintReportText(m_session, m_services, ReadReportText(m_session), "Quillmere report",
                            {m_session.CurrentClient});
        } catch (const FileError& error) {
            m_services.messages.show({"The report file cannot be read: " + FailureText(error),
                                      "Print Error", MsgIcon::Critical, MsgButtons::OK});
        }
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdPrintReport);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    auto* frame = new QVBoxLayout(fraAll);
    frame->addWidget(m_text1, 1);
    frame->addLayout(buttons);
    (new QVBoxLayout(this))->addWidget(fraAll);
    resize(820, 700);
}

void FrmViewReport::firstShown() {
    // Once the window is up: the report is made under the busy pointer in front of the user.
    QTimer::singleShot(0, this, &FrmViewReport::showReport);
}

void FrmViewReport::showReport() {
    if (!LogAccess(m_session, m_services.messages, AccessAction::View, {m_session.CurrentClient},
                   "The report is not shown.")) {
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    BusyPointer busy;
    try {
        MakeReport(m_session);
        m_text1->setPlainText(FromLatin1(ReadReportText(m_session)));
    } catch (const std::runtime_error& error) {
        busy.done();
        m_services.messages.show({"The report cannot be made: " + FailureText(error),
                                  "Client Report", MsgIcon::Critical, MsgButtons::OK});
        m_cmdPrintReport->setEnabled(false);
    }
    busy.done();
    m_text1->setFocus(Qt::OtherFocusReason);
}

bool FrmViewReport::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    auto* button = qobject_cast<QPushButton*>(watched);
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Up:
        case Qt::Key_Down:
            // The window sees these before its buttons: the report scrolls from either.
            m_text1->setFocus(Qt::OtherFocusReason);
            QCoreApplication::sendEvent(m_text1, event);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (button != nullptr) {
                button->click();
                return true;
            }
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qlm
