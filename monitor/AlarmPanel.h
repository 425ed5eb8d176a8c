#pragma once

#include <QGroupBox>

class QCheckBox;
class QLineEdit;

// The alarm controls ("Selecione"): the maximum call time and the idle time,
// each with its switch. Every user change is stored at once; the clicks
// also go to the event log.
class AlarmPanel final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlarmPanel)

public:
    explicit AlarmPanel(QWidget *parent = nullptr);

    QCheckBox *cbHabTempoMax() const { return m_cbHabTempoMax; }
    QLineEdit *edTempoMax() const { return m_edTempoMax; }
    QCheckBox *cbHabTempoOcioso() const { return m_cbHabTempoOcioso; }
    QLineEdit *edTempoOcioso() const { return m_edTempoOcioso; }

    // The masked edit's text as stored: blanks for the empty places, so an
    // empty field reads "  :  :  ".
    QString tempoMaxText() const;

Q_SIGNALS:
    void logMessage(const QString &message);
    void maxAlarmToggled(bool on);
    void idleAlarmToggled(bool on);
    // Every text of edTempoMax that reads as a time of day, in seconds.
    void maxCallTimeChanged(int seconds);

private:
    void cbHabTempoMaxClick();
    void cbHabTempoOciosoClick();
    void edTempoMaxChange();
    void edTempoOciosoChange();

    QCheckBox *m_cbHabTempoMax;
    QLineEdit *m_edTempoMax;
    QCheckBox *m_cbHabTempoOcioso;
    QLineEdit *m_edTempoOcioso;
};
