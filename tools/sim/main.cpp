// vorlan-sim: the recorder servers and the agents' chat programs on one host,
// for demos and for the tests. Each service adds its own options and takes
// the commands meant for it from standard input, one per line.
#include "tools/sim/AgentChat.h"
#include "tools/sim/ListenService.h"
#include "tools/sim/SimState.h"
#include "tools/sim/StatusService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

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

    SimState state;
    StatusService status;
    ListenService listen;
    AgentChat chat;
    if (!status.start(parser, &state) || !listen.start(parser, &state)
        || !chat.start(parser, &state))
        return 1;

    // Commands on standard input drive the simulation from a test or a shell.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input.setEnabled(false); // end of input: keep serving
            return;
        }
        static QByteArray pending;
        pending.append(buffer, n);
        qsizetype eol;
        while ((eol = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(eol)).trimmed();
            pending.remove(0, eol + 1);
            const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.isEmpty())
                continue;
            if (words.first() == QLatin1String("quit"))
                QCoreApplication::quit();
            else if (!status.handleCommand(words) && !listen.handleCommand(words)
                     && !chat.handleCommand(words))
                std::fprintf(stderr, "unknown command: %s\n", qPrintable(line));
        }
    });
    return QCoreApplication::exec();
}
