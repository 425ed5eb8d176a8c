#include "tools/sim/StatusService.h"

#include <QCommandLineParser>

StatusService::StatusService(QObject *parent)
    : QObject(parent)
{
}

void StatusService::addOptions(QCommandLineParser &) { }

bool StatusService::start(const QCommandLineParser &) { return true; }
