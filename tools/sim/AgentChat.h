#pragma once

#include <QObject>

class QCommandLineParser;

class AgentChat final : public QObject
{
    Q_OBJECT

public:
    explicit AgentChat(QObject *parent = nullptr);

    static void addOptions(QCommandLineParser &parser);
    // Starts the service from the parsed options; false with a message on stderr.
    bool start(const QCommandLineParser &parser);
};
