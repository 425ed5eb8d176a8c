#pragma once

#include <QObject>

class QCommandLineParser;

class ListenService final : public QObject
{
    Q_OBJECT

public:
    explicit ListenService(QObject *parent = nullptr);

    static void addOptions(QCommandLineParser &parser);
    // Starts the service from the parsed options; false with a message on stderr.
    bool start(const QCommandLineParser &parser);
};
