#include "monitor/AlarmPanel.h"

#include "app/ErrorReport.h"
#include "app/TimeText.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
template<typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
    return widget;
}

QLabel *legend(const QColor &colour, QWidget *parent)
{
    auto *square = new QLabel(parent);
    square->setFixedSize(12, 12);
    square->setAutoFillBackground(true);
    QPalette palette = square->palette();
    palette.setColor(QPalette::Window, colour);
    square->setPalette(palette);
    square->setFrameShape(QFrame::Box);
    return square;
}

void store(const QString &name, const QString &text)
{
    ErrorReport::guarded([&] { SettingsStore().write(name, text); });
}
} // namespace

AlarmPanel::AlarmPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Selecione"), parent)
    , m_cbHabTempoMax(named(new QCheckBox(QStringLiteral("Habilita tempo máximo"), this),
                            QStringLiteral("cbHabTempoMax")))
    , m_edTempoMax(named(new QLineEdit(this), QStringLiteral("edTempoMax")))
    , m_cbHabTempoOcioso(named(new QCheckBox(QStringLiteral("Habilita Tempo Ocioso"), this),
                               QStringLiteral("cbHabTempoOcioso")))
    , m_edTempoOcioso(named(new QLineEdit(this), QStringLiteral("edTempoOcioso")))
{
    setObjectName(QStringLiteral("Selecione"));
    setAccessibleDescription(objectName());
    // Hours with an optional first digit (in Qt's masks 0 is optional and 9
    // required), minutes and seconds; the colons are part of the stored text.
    m_edTempoMax->setInputMask(QStringLiteral("09:99:99;_"));
    m_edTempoMax->setMaxLength(8);
    m_edTempoMax->setFixedWidth(
        m_edTempoMax->fontMetrics().horizontalAdvance(QStringLiteral("00:00:000")) + 12);
    m_edTempoOcioso->setFixedWidth(m_edTempoMax->width());

    auto *grid = new QGridLayout(this);
    grid->addWidget(legend(QColor(255, 0, 0), this), 0, 0);
    grid->addWidget(m_cbHabTempoMax, 0, 1);
    grid->addWidget(m_edTempoMax, 0, 2);
    grid->addWidget(legend(QColor(255, 255, 0), this), 1, 0);
    grid->addWidget(m_cbHabTempoOcioso, 1, 1);
    grid->addWidget(m_edTempoOcioso, 1, 2);

    // clicked (not toggled): loading the boxes at start-up runs no handler.
    connect(m_cbHabTempoMax, &QCheckBox::clicked, this, &AlarmPanel::cbHabTempoMaxClick);
    connect(m_cbHabTempoOcioso, &QCheckBox::clicked, this, &AlarmPanel::cbHabTempoOciosoClick);
    connect(m_cbHabTempoMax, &QCheckBox::toggled, this, &AlarmPanel::maxAlarmToggled);
    connect(m_cbHabTempoOcioso, &QCheckBox::toggled, this, &AlarmPanel::idleAlarmToggled);
    connect(m_edTempoMax, &QLineEdit::textChanged, this, &AlarmPanel::edTempoMaxChange);
    connect(m_edTempoOcioso, &QLineEdit::textChanged, this, &AlarmPanel::edTempoOciosoChange);
}

QString AlarmPanel::tempoMaxText() const
{
    QString text = m_edTempoMax->displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return text;
}

void AlarmPanel::cbHabTempoMaxClick()
{
    const bool on = m_cbHabTempoMax->isChecked();
    store(QStringLiteral("HabTempoMax"), on ? QStringLiteral("-1") : QStringLiteral("0"));
    Q_EMIT logMessage(on ? QStringLiteral("Tempo máximo habilitado.")
                         : QStringLiteral("Tempo máximo desabilitado."));
}

void AlarmPanel::cbHabTempoOciosoClick()
{
    const bool on = m_cbHabTempoOcioso->isChecked();
    store(QStringLiteral("HabTempoOcioso"), on ? QStringLiteral("-1") : QStringLiteral("0"));
    Q_EMIT logMessage(on ? QStringLiteral("Tempo ocioso habilitado.")
                         : QStringLiteral("Tempo ocioso desabilitado."));
}

void AlarmPanel::edTempoMaxChange()
{
    const QString text = tempoMaxText();
    store(QStringLiteral("TempoMax"), text);
    // Texts still being typed do not read and leave the maximum as it was.
    if (const auto seconds = TimeText::parseTimeOfDay(text))
        Q_EMIT maxCallTimeChanged(*seconds);
}

void AlarmPanel::edTempoOciosoChange()
{
    // Takes effect at the next start: the idle timers keep their interval.
    store(QStringLiteral("TempoOcioso"), m_edTempoOcioso->text());
}
