#include "tools/sim/StatusService.h"

#include <QCommandLineParser>
#include "tools/sim/SimState.h"

StatusService::StatusService(QObject *parent)
    : QObject(parent)
{
}

void StatusService::addOptions(QCommandLineParser &) { }

bool StatusService::start(const QCommandLineParser &, SimState *) { return true; }

bool StatusService::handleCommand(const QStringList &) { return false; }
