#include "monitor/ChannelRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

namespace {
QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty()) {
        label->setObjectName(name);
        label->setAccessibleDescription(name);
    }
    // Clicks go to the panel, so a double-click on any label is the row's.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void setText(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}
} // namespace

ChannelRow::ChannelRow(int channel, QWidget *parent)
    : QFrame(parent)
    , m_channel(channel)
{
    const QString n = QString::number(channel);
    setObjectName(QStringLiteral("PanelC") + n);
    setAccessibleDescription(objectName());
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    m_number = makeLabel(QString(), n, this);
    m_name = makeLabel(QStringLiteral("lbCanal") + n, QString(), this);
    m_status = makeLabel(QStringLiteral("lbStatusC") + n, QStringLiteral("Aguardando"), this);
    m_duration = makeLabel(QStringLiteral("lbTempoDuracaoC") + n, QStringLiteral("00:00:00"), this);

    QFont bold = m_status->font();
    bold.setBold(true);
    m_status->setFont(bold);
    // Marks the status labels for the colouring tick.
    m_status->setProperty("tag", 3);
    addColumns(new QHBoxLayout(this), m_number, m_name, m_status, m_duration);
}

void ChannelRow::addColumns(QHBoxLayout *layout, QLabel *number, QLabel *name, QLabel *status,
                            QLabel *duration)
{
    QFont bold = status->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    number->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("40")) + 4);
    name->setMinimumWidth(30);
    // The name is the server's text: whatever its length or line breaks, it
    // must not resize the row, or every poll would lay the window out anew.
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    status->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("Desabilitado")) + 4);
    duration->setFixedWidth(duration->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00"))
                            + 6);
    duration->setAlignment(Qt::AlignCenter);
    layout->setContentsMargins(3, 1, 3, 1);
    layout->setSpacing(2);
    layout->addWidget(number);
    layout->addWidget(name, 1);
    layout->addWidget(status);
    layout->addWidget(duration);
}

void ChannelRow::show(const ChannelState &state)
{
    setText(m_name, state.name);
    setText(m_status, state.status);
    setText(m_duration, state.duration);
    setLamp(state.lamp);
}

QColor ChannelRow::lampColour(Lamp lamp)
{
    switch (lamp) {
    case Lamp::Rest:
        return QColor(244, 244, 244);
    case Lamp::Yellow:
        return QColor(255, 255, 0);
    case Lamp::Red:
        return QColor(255, 0, 0);
    case Lamp::Panel:
        break;
    }
    return {};
}

void ChannelRow::setLamp(Lamp lamp)
{
    if (lamp == m_lamp)
        return;
    m_lamp = lamp;
    if (lamp == Lamp::Panel) {
        m_duration->setAutoFillBackground(false);
        return;
    }
    QPalette palette = m_duration->palette();
    palette.setColor(QPalette::Window, lampColour(lamp));
    m_duration->setPalette(palette);
    m_duration->setAutoFillBackground(true);
}

void ChannelRow::colourStatus()
{
    QColor colour;
    const QString text = m_status->text();
    if (text == QLatin1String("Aguardando"))
        colour = QColor(0, 128, 0);
    else if (text == QLatin1String("Gravando"))
        colour = QColor(255, 0, 0);
    else if (text == QLatin1String("Desabilitado"))
        colour = QColor(128, 128, 128);
    else
        return;
    QPalette palette = m_status->palette();
    if (palette.color(QPalette::WindowText) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    m_status->setPalette(palette);
}

void ChannelRow::setCallMark(const QColor &colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    // The status and duration labels set their own palettes; keep the lamp
    // showing the panel until a timer paints it.
}

void ChannelRow::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked(m_channel);
    QFrame::mouseDoubleClickEvent(event);
}
