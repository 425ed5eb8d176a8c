#pragma once

#include "monitor/ChannelState.h"

#include <QFrame>

class QHBoxLayout;
class QLabel;

// One row of the board: the panel PanelC<n> with the number, the name
// (lbCanal<n>), the status (lbStatusC<n>) and the duration, whose background
// is the alarm lamp (lbTempoDuracaoC<n>). A double-click anywhere on it is
// the row's double-click.
class ChannelRow final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChannelRow)

public:
    ChannelRow(int channel, QWidget *parent = nullptr);

    int channel() const { return m_channel; }
    QLabel *nameLabel() const { return m_name; }
    QLabel *statusLabel() const { return m_status; }
    QLabel *durationLabel() const { return m_duration; }

    // Shows name, status text, duration and lamp; the status colour is left
    // to the colouring tick.
    void show(const ChannelState &state);
    // The colouring tick: the status text's font colour by its value.
    void colourStatus();
    void setCallMark(const QColor &colour);

    static QColor lampColour(Lamp lamp);
    // Sizes and adds the four columns; the board's header uses it too, so
    // the titles stand over their columns.
    static void addColumns(QHBoxLayout *layout, QLabel *number, QLabel *name, QLabel *status,
                           QLabel *duration);

Q_SIGNALS:
    void doubleClicked(int channel);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void setLamp(Lamp lamp);

    int m_channel;
    QLabel *m_number;
    QLabel *m_name;
    QLabel *m_status;
    QLabel *m_duration;
    Lamp m_lamp = Lamp::Panel;
};
