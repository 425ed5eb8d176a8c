#include "tools/sim/ListenService.h"

#include <QCommandLineParser>

ListenService::ListenService(QObject *parent)
    : QObject(parent)
{
}

void ListenService::addOptions(QCommandLineParser &) { }

bool ListenService::start(const QCommandLineParser &) { return true; }
