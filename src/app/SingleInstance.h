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

    // True when a running copy answered and was asked to come to the front.
    bool AskRunningCopyToFront();
    // Starts listening for later copies; false when the socket cannot be made.
    bool Listen();

signals:
    void frontRequested();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};

}  // namespace qlm
