#pragma once

#include <QString>

// The chat address of the agent at one channel, as stored: both texts are
// kept exactly as typed and only the sender turns the port into a number.
struct ChatEndpoint
{
    QString address;
    QString port;

    static QString addressName(int channel);
    static QString portName(int channel);

    // Reads channel's pair from the settings store afresh; throws VorlanError
    // when a value is not text.
    static ChatEndpoint read(int channel);

    // The port as a number; throws VorlanError "'%s' is not a valid integer
    // value" with the stored text when it does not convert.
    int portNumber() const;
};
