#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace qlm {

// One running copy per user: the first copy listens on a local socket named for the user; a
// later copy finds it there, asks it to come to the front and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString name = UserSocketName(), QObject* parent = nullptr);

    static QString UserSocketName();

    enum class Claim { Listening, SecondCopy, NoSocket };

    // True when a running copy answered and was asked to come to the front.
    bool AskRunningCopyToFront();
    // Asks a running copy to come to the front (SecondCopy: this copy ends), else listens for
    // later copies (Listening) in place of any socket nobody answers on, left by a copy that
    // crashed. NoSocket: no socket can be made here.
    Claim Listen();

signals:
    void frontRequested();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};

}  // namespace qlm
