// A stand-in client for the single-instance test: prints "first" when it
// became the running instance, "second" when it handed over and ended, and
// "activated" each time a later start asked it to show itself.
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    if (instance.notifyRunning()) {
        std::puts("second");
        return 0;
    }
    if (!instance.listen())
        return 2;
    QObject::connect(&instance, &SingleInstance::activationRequested, [] {
        std::puts("activated");
        std::fflush(stdout);
    });
    std::puts("first");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
