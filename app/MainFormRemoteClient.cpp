#include "app/MainFormRemoteClient.h"

#include "app/Confirmation.h"
#include "app/ErrorReport.h"
#include "app/EventLog.h"
#include "app/TimeText.h"
#include "app/TrayIntegration.h"
#include "app/VorlanError.h"
#include "archive/ArchiveSection.h"
#include "chat/ChatSection.h"
#include "listen/ListeningSection.h"
#include "monitor/MonitorSection.h"
#include "monitor/TDM.h"
#include "settings/Conversions.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsStore.h"
#include "settings/WindowsVersion.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

QString TMainFormRemoteClient::title()
{
    return QStringLiteral("Vorlan Client - Versão 2.0");
}

TMainFormRemoteClient::TMainFormRemoteClient(TDM *dm, QWidget *parent)
    : QMainWindow(parent)
    , m_dm(dm)
    , m_main(new QTabWidget(this))
{
    setObjectName(QStringLiteral("MainFormRemoteClient"));
    setAccessibleDescription(objectName());
    setWindowTitle(title());
    resize(961, 795);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_main->setObjectName(QStringLiteral("main"));
    m_main->setAccessibleDescription(m_main->objectName());
    setCentralWidget(m_main);

    auto *principal = new QWidget(m_main);
    m_log = new EventLog(principal);
    m_monitor = new MonitorSection(dm, principal, this);
    m_listening = new ListeningSection(principal, this);
    m_chat = new ChatSection(principal, this);
    buildPrincipal(principal);
    m_main->addTab(principal, QStringLiteral("Principal"));

    m_settings = new SettingsPage(m_main);
    m_chat->buildEndpointEditor(m_settings->channelsGroup());
    m_main->addTab(m_settings, QStringLiteral("Configurações"));

    m_archive = new ArchiveSection(m_main, this);
    m_main->addTab(m_archive->page(), QStringLiteral("Player"));
    m_archive->page()->setAccessibleDescription(m_archive->page()->objectName());

    m_tray = new TrayIntegration(this);
    connect(m_tray, &TrayIntegration::closeRequested, this, &TMainFormRemoteClient::Fechar1Click);

    QLineEdit *edusuario = m_settings->editor(QStringLiteral("edusuario"));
    m_listening->setEditors(edusuario, m_settings->editor(QStringLiteral("edtURL")));
    m_chat->setUserEditor(edusuario);
    m_archive->setPathEditor(m_settings->editor(QStringLiteral("edPathGrava")));

    connect(m_monitor, &MonitorSection::logMessage, m_log, &EventLog::add);
    connect(m_listening, &ListeningSection::logMessage, m_log, &EventLog::add);
    connect(m_chat, &ChatSection::logMessage, m_log, &EventLog::add);
    connect(m_monitor, &MonitorSection::listeningEnded, this, [this](int channel) {
        m_listening->ShowListeningState(QString::number(channel), false);
    });
    connect(m_monitor, &MonitorSection::rowDoubleClicked, this, [this](int channel) {
        ErrorReport::guarded(
            [&] { m_listening->requestListen(channel, m_monitor->statusText(channel)); });
    });
    connect(m_chat, &ChatSection::callMark, m_monitor, &MonitorSection::setCallMark);
}

TMainFormRemoteClient::~TMainFormRemoteClient()
{
    FormDestroy();
}

void TMainFormRemoteClient::buildPrincipal(QWidget *page)
{
    auto *layout = new QGridLayout(page);
    layout->addWidget(m_monitor->board(), 0, 0, 1, 2);
    auto *left = new QVBoxLayout;
    left->addWidget(m_monitor->alarmPanel());
    left->addWidget(m_listening->panel());
    left->addStretch();
    layout->addLayout(left, 1, 0);
    layout->addWidget(m_chat->panel(), 1, 1);
    layout->addWidget(m_log, 2, 0, 1, 2);
    m_log->setMinimumHeight(150);
    layout->setRowStretch(2, 1);
}

int TMainFormRemoteClient::FormCreate()
{
    int step = 1;
    ErrorReport::guarded([&] { runSteps(step); });
    return step;
}

void TMainFormRemoteClient::runSteps(int &step)
{
    // 1. ProgramDirectory, with a trailing separator.
    m_programDirectory = QDir::toNativeSeparators(QApplication::applicationDirPath());
    if (!m_programDirectory.endsWith(QDir::separator()))
        m_programDirectory += QDir::separator();
    m_listening->setProgramDirectory(m_programDirectory);

    step = 2; // the skin is applied by the entry point before any window exists

    step = 3;
    m_monitor->timerStatus()->start();
    m_monitor->timerStatus2()->start();
    m_log->trimTimer()->start();
    m_monitor->tAtuaLabel()->start();

    step = 4;
    m_listening->setConnected(false);

    step = 5;
    m_versionClass = WindowsVersion::currentClass();
    m_settings->setWindowsVersionClass(m_versionClass);

    step = 6;
    m_tray->enable();

    step = 7;
    const SettingsStore store;
    store.createKey();
    readSettings();

    step = 8;
    if (m_archive->connectDatabase())
        m_log->add(QStringLiteral("Conectando ao bando de dados."));
    else
        m_log->add(
            QStringLiteral("Erro ao conectar ao banco de dados, verifique as configurações."));

    step = 9;
    const QDate today = QDate::currentDate();
    m_archive->setSearchDates(today.addDays(-1), today);

    step = 10;
    for (int n = 1; n <= 40; ++n) {
        const qint64 interval
            = qint64(Conversions::toInteger(store.read(QStringLiteral("TempoOcioso")))) * 60000;
        if (interval > std::numeric_limits<int>::max())
            throw VorlanError(QStringLiteral("Integer overflow"));
        if (interval < 0)
            throw VorlanError(QStringLiteral("Range check error"));
        m_monitor->setIdleInterval(n, int(interval));
    }

    step = 11;
    if (const auto maxCall = TimeText::parseTimeOfDay(store.read(QStringLiteral("TempoMax"))))
        m_monitor->setMaxCallTime(*maxCall);

    step = 12; // every read opened and closed the store on its own

    step = 13;
    if (m_monitor->idleAlarmChecked())
        m_monitor->startIdleTimers();

    step = 14;
    m_log->add(QStringLiteral("Inicializando sistema de comunicação."));
    if (m_listening->activateAudio() && m_chat->activateServer())
        m_log->add(QStringLiteral("Sistemas de comunicação inicializados com sucesso."));
    else
        m_log->add(QStringLiteral("Erro ao inicializar sistemas de comunicação."));

    step = 15;
    m_main->setCurrentIndex(0);
    step = 16;
}

void TMainFormRemoteClient::readSettings()
{
    const SettingsStore store;
    auto text = [&](const char *name) {
        return store.read(QString::fromLatin1(name));
    };
    auto number = [&](const char *name) {
        return Conversions::toInteger(text(name));
    };
    auto boolean = [&](const char *name) {
        return Conversions::toBoolean(text(name));
    };
    auto load = [&](const char *editor, const char *name) {
        m_settings->load(QString::fromLatin1(editor), text(name));
    };

    load("edtURL", "IPServidor"); // 1
    load("edusuario", "UsuarioClient"); // 2
    load("edPortaChatLocal", "PortaServidorChat"); // 3
    load("edPortaStatus", "PortaStatus"); // 4
    load("edPortaStatus2", "PortaStatus2"); // 5
    m_listening->setServerHost(1, text("IPServidor")); // 6
    m_listening->setServerPort(1, quint16(number("PortaServidor"))); // 7
    m_listening->setServerHost(2, text("IPServidor")); // 8
    m_listening->setServerPort(2, quint16(number("PortaServidor2"))); // 9
    load("edPortaServidor", "PortaServidor"); // 10
    load("edPortaServidor2", "PortaServidor2"); // 11
    m_chat->setListenPort(quint16(number("PortaServidorChat"))); // 12
    const int statusPort = number("PortaStatus"); // 13
    m_monitor->setStatusEndpoint(1, text("IPServidor"), quint16(statusPort)); // 14
    const int statusPort2 = number("PortaStatus2"); // 15
    m_monitor->setStatusEndpoint(2, text("IPServidor"), quint16(statusPort2)); // 16
    m_settings->cbIniciaWindows()->setChecked(boolean("IniWin")); // 17
    m_monitor->loadHabTempoMax(boolean("HabTempoMax")); // 18
    m_monitor->loadHabTempoOcioso(boolean("HabTempoOcioso")); // 19
    m_monitor->loadTempoMax(text("TempoMax")); // 20
    m_monitor->loadTempoOcioso(text("TempoOcioso")); // 21
    load("edPathGrava", "PathGravacoes"); // 22
    load("edIPLocal", "IPLocal"); // 23
    load("edHostBD", "HostBD"); // 24
    load("edPortaBD", "PortaBD"); // 25
    load("edUserBD", "UserBD"); // 26
    load("edSenhaBD", "SenhaBD"); // 27
    load("edNomeBanco", "NomeBanco"); // 28
    m_archive->setHost(text("HostBD")); // 29
    m_archive->setPort(number("PortaBD")); // 30
    m_archive->setUser(text("UserBD")); // 31
    m_archive->setPassword(text("SenhaBD")); // 32
    m_archive->setDatabaseName(text("NomeBanco")); // 33
}

void TMainFormRemoteClient::closeEvent(QCloseEvent *event)
{
    if (m_closeConfirmed
        || Confirmation::ask(this, QStringLiteral("Deseja realmente finalizar o aplicativo?"))) {
        event->accept();
        QApplication::quit();
    } else {
        event->ignore();
    }
}

void TMainFormRemoteClient::Fechar1Click()
{
    if (!Confirmation::ask(this, QStringLiteral("Deseja realmente finalizar o aplicativo?")))
        return;
    m_closeConfirmed = true;
    close();
}

void TMainFormRemoteClient::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    m_archive->close();
    m_chat->shutdown();
    m_listening->shutdown();
    m_monitor->shutdown();
    m_log->trimTimer()->stop();
}
