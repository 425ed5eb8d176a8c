#include "tools/sim/AgentChat.h"

#include <QCommandLineParser>
#include "tools/sim/SimState.h"

AgentChat::AgentChat(QObject *parent)
    : QObject(parent)
{
}

void AgentChat::addOptions(QCommandLineParser &) { }

bool AgentChat::start(const QCommandLineParser &, SimState *) { return true; }

bool AgentChat::handleCommand(const QStringList &) { return false; }
