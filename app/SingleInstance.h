#pragma once

#include <QObject>

class QLocalServer;

// One client per user session. The first instance listens on a local socket
// named after the main window's class; a later start connects, asks it to
// come to the front and ends. A socket left behind by a crash is removed
// when nobody answers on it.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);

    // True when another instance answered and was asked to show itself.
    bool notifyRunning(int timeoutMs = 1000);

    // Starts listening; false when the name cannot be taken.
    bool listen();

    static QString defaultKey();

Q_SIGNALS:
    void activationRequested();

private:
    QString m_key;
    QLocalServer *m_server = nullptr;
};
