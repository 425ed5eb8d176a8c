#include "listen/ListeningSection.h"

#include <QLabel>

// Placeholder until live listening lands.
ListeningSection::ListeningSection(QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_panel(new QLabel(QStringLiteral("Status da Conexão"), parentWidget))
{
}

QWidget *ListeningSection::panel() const { return m_panel; }
void ListeningSection::setEditors(QLineEdit *, QLineEdit *) { }
void ListeningSection::setProgramDirectory(const QString &) { }
void ListeningSection::setServerHost(int, const QString &) { }
void ListeningSection::setServerPort(int, quint16) { }
void ListeningSection::setConnected(bool connected) { m_connected = connected; }
bool ListeningSection::isConnected() const { return m_connected; }
void ListeningSection::ShowListeningState(const QString &, bool connected) { m_connected = connected; }
void ListeningSection::requestListen(int, const QString &) { }
bool ListeningSection::activateAudio() { return true; }
void ListeningSection::shutdown() { }
