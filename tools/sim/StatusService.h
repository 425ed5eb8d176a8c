#pragma once

#include <QObject>
#include <QStringList>

class QCommandLineParser;
class SimState;

class StatusService final : public QObject
{
    Q_OBJECT

public:
    explicit StatusService(QObject *parent = nullptr);

    static void addOptions(QCommandLineParser &parser);
    // Starts the service from the parsed options; false with a message on stderr.
    bool start(const QCommandLineParser &parser, SimState *state);
    // A command line read from standard input ("call 7", ...); true when
    // this service took it.
    bool handleCommand(const QStringList &words);
};
