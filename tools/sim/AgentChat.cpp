#include "tools/sim/AgentChat.h"

#include <QCommandLineParser>

AgentChat::AgentChat(QObject *parent)
    : QObject(parent)
{
}

void AgentChat::addOptions(QCommandLineParser &) { }

bool AgentChat::start(const QCommandLineParser &) { return true; }
