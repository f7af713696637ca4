#include "ui/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace qlm {

QtAudioPlayer::QtAudioPlayer() = default;
QtAudioPlayer::~QtAudioPlayer() = default;

bool QtAudioPlayer::available() const {
    return !QMediaDevices::audioOutputs().isEmpty();
}

bool QtAudioPlayer::play(const std::string& waveFile, std::string& error) {
    stop();
    const QString path = QString::fromLocal8Bit(waveFile.c_str());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = (file.error() == QFileDevice::PermissionsError ? "70:" : "53:") +
                file.errorString().toStdString();
        return false;
    }
    // A fresh effect per sound: a new source on a playing one would mix the two.
    m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->play();
    return true;
}

void QtAudioPlayer::stop() {
    if (m_effect) {
        m_effect->stop();
        m_effect.reset();
    }
}

}  // namespace qlm
