#pragma once

#include <QGroupBox>

class QLabel;
class QPushButton;
class SpinningIndicator;

// The panel "Status da Conexão": only widgets, filled by ListeningSection.
class ConnectionPanel final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConnectionPanel)

public:
    explicit ConnectionPanel(QWidget *parent = nullptr);

    SpinningIndicator *Roda;
    QLabel *lbConect;
    QLabel *lbCanalConect;
    QLabel *lbIP;
    QLabel *lbTempoConect;
    QLabel *lbUser;
    QPushButton *btDesconecta;
};
