#include "app/ErrorReport.h"
#include "app/MainFormRemoteClient.h"
#include "app/SingleInstance.h"
#include "app/Skin.h"
#include "app/TrayIntegration.h"
#include "monitor/TDM.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    // A second start only brings the running client to the front.
    SingleInstance instance(SingleInstance::defaultKey());
    if (instance.notifyRunning())
        return 0;

    QApplication::setApplicationName(QStringLiteral("vorlan-client"));
    QApplication::setApplicationDisplayName(TMainFormRemoteClient::title());
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qt"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    Skin::apply();
    ErrorReport::setPresenter([](const QString &message) {
        QMessageBox::critical(QApplication::activeWindow(), TMainFormRemoteClient::title(),
                              message);
    });

    TDM dm;
    TMainFormRemoteClient window(&dm);
    instance.listen();
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     [&window] { window.tray()->restore(); });
    window.FormCreate();
    window.show();
    return QApplication::exec();
}
