#pragma once

#include <QMainWindow>

class ArchiveSection;
class ChatSection;
class EventLog;
class ListeningSection;
class MonitorSection;
class QTabWidget;
class SettingsPage;
class TDM;
class TrayIntegration;

// The main window: owns the pages and wires the subsystems together. The
// subsystems keep their logic in their own folders.
class TMainFormRemoteClient final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMainFormRemoteClient)

public:
    static QString title();

    explicit TMainFormRemoteClient(TDM *dm, QWidget *parent = nullptr);
    ~TMainFormRemoteClient() override;

    // The start-up sequence; returns the step it ended at (16 when complete).
    int FormCreate();

    QTabWidget *pages() const { return m_main; }
    EventLog *eventLog() const { return m_log; }
    SettingsPage *settingsPage() const { return m_settings; }
    MonitorSection *monitor() const { return m_monitor; }
    ListeningSection *listening() const { return m_listening; }
    ChatSection *chat() const { return m_chat; }
    ArchiveSection *archive() const { return m_archive; }
    TrayIntegration *tray() const { return m_tray; }
    QString programDirectory() const { return m_programDirectory; }
    int windowsVersionClass() const { return m_versionClass; }

    // Fechar1Click: asks, and closes without asking again on Yes.
    void Fechar1Click();

protected:
    void closeEvent(QCloseEvent *event) override; // FormCloseQuery

private:
    void buildPrincipal(QWidget *page);
    void runSteps(int &step);
    void readSettings();
    void FormDestroy();

    TDM *m_dm;
    QTabWidget *m_main;
    EventLog *m_log;
    SettingsPage *m_settings;
    MonitorSection *m_monitor;
    ListeningSection *m_listening;
    ChatSection *m_chat;
    ArchiveSection *m_archive;
    TrayIntegration *m_tray;
    QString m_programDirectory;
    int m_versionClass = 0;
    bool m_closeConfirmed = false;
    bool m_destroyed = false;
};
