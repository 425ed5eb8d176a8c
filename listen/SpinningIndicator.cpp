#include "listen/SpinningIndicator.h"

#include <QPainter>
#include <QTimer>

SpinningIndicator::SpinningIndicator(QWidget *parent)
    : QWidget(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(kStepMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSteps;
        update();
    });
    setEnabled(false);
}

void SpinningIndicator::start()
{
    setEnabled(true);
    m_timer->start();
}

void SpinningIndicator::stop()
{
    m_timer->stop();
    setEnabled(false);
    update();
}

bool SpinningIndicator::isRunning() const
{
    return m_timer->isActive();
}

QSize SpinningIndicator::sizeHint() const
{
    return { 24, 24 };
}

void SpinningIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(side / 24.0, side / 24.0);
    const QColor base = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                        QPalette::WindowText);
    for (int i = 0; i < kSteps; ++i) {
        QColor colour = base;
        // The spoke of the current step is darkest, the trail fades behind it.
        const int age = (m_step - i + kSteps) % kSteps;
        colour.setAlphaF(isRunning() ? 1.0 - age / double(kSteps) : 0.35);
        painter.save();
        painter.rotate(i * 360.0 / kSteps);
        painter.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -5), QPointF(0, -10));
        painter.restore();
    }
}
