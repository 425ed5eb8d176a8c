#pragma once

#include <QString>

// The alarm lamp (the duration label's background). Panel means the label
// has never been painted and shows its row's colour; the blink rules only
// ever flip between the exact rest colour and yellow or red.
enum class Lamp { Panel, Rest, Yellow, Red };

// Everything the poll and the call timers know of one channel; the row shows it.
struct ChannelState
{
    QString name;
    QString status = QStringLiteral("Aguardando");
    QString duration = QStringLiteral("00:00:00");
    Lamp lamp = Lamp::Panel;
    bool listeningSeen = false;
    // CallDurationCounter
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};
