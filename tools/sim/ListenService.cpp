#include "tools/sim/ListenService.h"

#include <QCommandLineParser>
#include "tools/sim/SimState.h"

ListenService::ListenService(QObject *parent)
    : QObject(parent)
{
}

void ListenService::addOptions(QCommandLineParser &) { }

bool ListenService::start(const QCommandLineParser &, SimState *) { return true; }

bool ListenService::handleCommand(const QStringList &) { return false; }
