#include "chat/AlertWindow.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

AlertWindow::AlertWindow(QWidget *parent)
    // A tool window keeps it off the task bar; it stays above other windows
    // so that a call is seen whatever the supervisor is doing.
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_icon(new QLabel(this))
    , m_text(new QLabel(this))
    , m_close(new QToolButton(this))
    , m_slide(new QPropertyAnimation(this, "pos", this))
    , m_hideTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("Alerta"));
    setAccessibleDescription(objectName());
    setWindowTitle(QStringLiteral("Alerta"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("#Alerta { border: 1px solid palette(mid); }"));

    m_icon->setObjectName(QStringLiteral("AlertaIcone"));
    m_icon->setAccessibleDescription(m_icon->objectName());
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    m_icon->setGeometry(10, 10, 32, 32);

    m_text->setObjectName(QStringLiteral("AlertaTexto"));
    m_text->setAccessibleDescription(m_text->objectName());
    m_text->setTextFormat(Qt::RichText);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setGeometry(50, 10, kWidth - 50 - 22, kHeight - 20);

    m_close->setObjectName(QStringLiteral("AlertaFechar"));
    m_close->setAccessibleDescription(m_close->objectName());
    m_close->setAutoRaise(true);
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setToolTip(QStringLiteral("Fechar"));
    m_close->setGeometry(kWidth - 20, 2, 18, 18);
    connect(m_close, &QToolButton::clicked, this, [this] {
        m_slide->stop();
        m_hideTimer->stop();
        hide();
    });

    m_slide->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_slide, &QPropertyAnimation::finished, this, &AlertWindow::slideFinished);

    m_hideTimer->setSingleShot(true);
    m_hideTimer->setInterval(kHideDelayMs);
    connect(m_hideTimer, &QTimer::timeout, this, &AlertWindow::hideTimeout);
}

void AlertWindow::setText(const QString &html)
{
    m_text->setText(html);
}

QString AlertWindow::text() const
{
    return m_text->text();
}

void AlertWindow::setHideDelay(int ms)
{
    m_hideTimer->setInterval(ms);
}

int AlertWindow::hideDelay() const
{
    return m_hideTimer->interval();
}

QRect AlertWindow::restingGeometry() const
{
    // The primary screen carries the task bar the alert stands beside.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    return QRect(area.x() + area.width() - kRightGap - kWidth, area.y() + area.height() - kHeight,
                 kWidth, kHeight);
}

void AlertWindow::showAlert()
{
    m_slide->stop();
    m_hideTimer->stop();
    const QRect target = restingGeometry();
    // From just below the work area's bottom edge (the task bar's side).
    const QPoint start(target.x(), target.y() + target.height());
    move(start);
    show();
    raise();
    m_slide->setDuration(m_slideMs);
    m_slide->setStartValue(start);
    m_slide->setEndValue(target.topLeft());
    m_slide->start();
}

void AlertWindow::slideFinished()
{
    QApplication::beep();
    m_hideTimer->start();
    Q_EMIT fullyShown();
}

void AlertWindow::hideTimeout()
{
    if (pointerRests()) {
        m_hideTimer->start();
        return;
    }
    hide();
}

bool AlertWindow::pointerRests() const
{
    return isVisible() && frameGeometry().contains(QCursor::pos());
}
