// vorlan-sim: the recorder servers and the agents' chat programs on one host,
// for demos and for the tests. Each service adds its own options.
#include "tools/sim/AgentChat.h"
#include "tools/sim/ListenService.h"
#include "tools/sim/StatusService.h"

#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlan-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Recorder servers and agents simulator for Vorlan Client"));
    parser.addHelpOption();
    StatusService::addOptions(parser);
    ListenService::addOptions(parser);
    AgentChat::addOptions(parser);
    parser.process(app);

    StatusService status;
    ListenService listen;
    AgentChat chat;
    if (!status.start(parser) || !listen.start(parser) || !chat.start(parser))
        return 1;
    return QCoreApplication::exec();
}
