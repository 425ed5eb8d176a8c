#pragma once

#include <QObject>
#include <QString>
#include <array>

// What the simulated recorder knows of its 40 channels, shared by the
// services: the status service reports it, the listening service marks
// channels listened to and streams the calls in progress.
class SimState final : public QObject
{
    Q_OBJECT

public:
    struct Channel
    {
        QString name; // field 1 of the status record
        bool recording = false; // a call in progress
        bool listening = false; // a client listens to it
        bool disabled = false;
        bool held = false; // left alone by the churn (a long call, a long pause)
    };

    explicit SimState(QObject *parent = nullptr);

    // channel is 1..40 (server 1: 1..20, server 2: 21..40).
    Channel &channel(int channel) { return m_channels.at(channel - 1); }
    const Channel &channel(int channel) const { return m_channels.at(channel - 1); }

private:
    std::array<Channel, 40> m_channels;
};
