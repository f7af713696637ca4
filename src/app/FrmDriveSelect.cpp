#include "app/FrmDriveSelect.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "session/DriveSelect.h"
#include "ui/MenuChoice.h"
#include "ui/ScreenOps.h"

namespace qlm {

namespace {

std::string readMounts() {
    QFile mounts(QStringLiteral("/proc/mounts"));
    // /proc files report no size, so they are read whole rather than by length.
    if (!mounts.open(QIODevice::ReadOnly)) {
        return {};
    }
    return mounts.readAll().toStdString();
}

QString standardPicker(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Choose the data folder"),
                                             start);
}

}  // namespace

FrmDriveSelect::FrmDriveSelect(const std::string& currentPath, Messages& messages,
                               FolderPicker picker, QWidget* parent)
    : Screen("frmDriveSelect", QStringLiteral("Please select a drive"), parent, false),
      m_messages(messages),
      m_picker(picker ? std::move(picker) : standardPicker) {
    auto* label = new QLabel(
        QStringLiteral(
            " Choose the folder that holds the data. (Usually your own, a USB stick or a network "
            "share.)"),
        this);
    label->setObjectName(QStringLiteral("Label1"));

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("drDrive"));
    m_drives->setMinimumWidth(360);
    label->setBuddy(m_drives);
    // The list stands on the location in use, else the home folder: never on "/".
    addEntry(currentPath.empty() ? QDir::homePath()
                                 : QFile::decodeName(QByteArray::fromStdString(currentPath)));
    const std::string mounts = readMounts();
    for (const std::string& volume : MountedVolumes(mounts)) {
        if (QFileInfo(QFile::decodeName(QByteArray::fromStdString(volume))).isDir()) {
            addEntry(QFile::decodeName(QByteArray::fromStdString(volume)));
        }
    }
    m_drives->setCurrentIndex(0);

    auto* browse = new MenuChoice(QStringLiteral("sspBrowse"), QStringLiteral("cmdBrowse"),
                                  QStringLiteral("Browse..."), this);
    auto* help = new MenuChoice(QStringLiteral("sspHelp"), QStringLiteral("cmdhelp"),
                                QStringLiteral("Help"), this);
    auto* done = new MenuChoice(QStringLiteral("sspDone"), QStringLiteral("cmdDone"),
                                QStringLiteral("Done"), this);
    connect(browse->button(), &QPushButton::clicked, this, &FrmDriveSelect::browse);
    connect(help->button(), &QPushButton::clicked, this,
            [this] { m_messages.show(DriveHelpMessage()); });
    connect(done->button(), &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(m_drives, 1);
    row->addWidget(browse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(done);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addLayout(buttons);
    setTabOrder(m_drives, browse->button());
    setTabOrder(browse->button(), help->button());
    setTabOrder(help->button(), done->button());
    m_drives->setFocus();
    adjustSize();
}

std::string FrmDriveSelect::SelectedDrive() const {
    // Paths are the file system's own bytes, not client text.
    return QFile::encodeName(m_drives->currentData().toString()).toStdString();
}

void FrmDriveSelect::addEntry(const QString& path) {
    const int found = m_drives->findData(path);
    if (found >= 0) {
        m_drives->setCurrentIndex(found);
        return;
    }
    m_drives->addItem(path, path);
    m_drives->setCurrentIndex(m_drives->count() - 1);
}

void FrmDriveSelect::browse() {
    const QString folder = m_picker(this, m_drives->currentData().toString());
    if (folder.isEmpty()) {
        return;
    }
    addEntry(QDir::cleanPath(folder));
}

std::optional<std::string> FrmDriveSelect::Choose(const std::string& currentPath,
                                                  Messages& messages, const FolderPicker& picker,
                                                  QWidget* parent) {
    FrmDriveSelect dialog(currentPath, messages, picker, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.SelectedDrive();
}

}  // namespace qlm
