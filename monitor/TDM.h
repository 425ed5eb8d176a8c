#pragma once

#include <QObject>

// The data module: holds the 160 per-channel timers of the call-duration
// counters and alarms. Created before the main window, lives until exit.
class TDM final : public QObject
{
    Q_OBJECT

public:
    explicit TDM(QObject *parent = nullptr);
};
