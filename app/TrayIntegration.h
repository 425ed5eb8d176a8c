#pragma once

#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

// The tray icon "Vorlan Supervisor" with its menu. Minimising the window
// sends it to the tray; where the desktop has no tray the window minimises
// as usual.
class TrayIntegration final : public QObject
{
    Q_OBJECT

public:
    explicit TrayIntegration(QWidget *window);

    // Switches minimise-to-tray on and shows the icon.
    void enable();
    bool minimisesToTray() const;

    QMenu *menu() const { return m_menu; }

    // TrayDblClick and Maximizar1Click: restore, show, bring to the front.
    void restore();
    // Minimizar1Click: hide the window and its task-bar button.
    void minimise();

Q_SIGNALS:
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QSystemTrayIcon *m_icon;
    QMenu *m_menu;
    bool m_enabled = false;
};
