#pragma once

#include <QObject>

class QCommandLineParser;

class StatusService final : public QObject
{
    Q_OBJECT

public:
    explicit StatusService(QObject *parent = nullptr);

    static void addOptions(QCommandLineParser &parser);
    // Starts the service from the parsed options; false with a message on stderr.
    bool start(const QCommandLineParser &parser);
};
