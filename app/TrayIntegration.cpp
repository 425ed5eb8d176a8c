#include "app/TrayIntegration.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

TrayIntegration::TrayIntegration(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_icon(new QSystemTrayIcon(this))
    , m_menu(new QMenu(window))
{
    m_icon->setObjectName(QStringLiteral("Tray"));
    m_icon->setToolTip(QStringLiteral("Vorlan Supervisor"));
    m_icon->setIcon(window->style()->standardIcon(QStyle::SP_MediaVolume));
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_menu->setAccessibleDescription(m_menu->objectName());
    auto addEntry = [this](const char *name, const QString &text) {
        QAction *a = m_menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QAction *maximizar = addEntry("Maximizar1", QStringLiteral("Maximizar"));
    QAction *minimizar = addEntry("Minimizar1", QStringLiteral("Minimizar"));
    m_menu->addSeparator();
    QAction *fechar = addEntry("Fechar1", QStringLiteral("Fechar"));
    connect(maximizar, &QAction::triggered, this, &TrayIntegration::restore);
    connect(minimizar, &QAction::triggered, this, &TrayIntegration::minimise);
    connect(fechar, &QAction::triggered, this, &TrayIntegration::closeRequested);
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger)
            restore();
    });
    window->installEventFilter(this);
}

void TrayIntegration::enable()
{
    m_enabled = true;
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_icon->show();
}

bool TrayIntegration::minimisesToTray() const
{
    return m_enabled && QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIntegration::restore()
{
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void TrayIntegration::minimise()
{
    if (minimisesToTray())
        m_window->hide();
    else
        m_window->showMinimized();
}

bool TrayIntegration::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowStateChange && m_window->isMinimized()
        && minimisesToTray()) {
        // Hide after the state change has been processed, or the window
        // manager would show it again.
        QTimer::singleShot(0, m_window, [this] { m_window->hide(); });
    }
    return QObject::eventFilter(watched, event);
}
