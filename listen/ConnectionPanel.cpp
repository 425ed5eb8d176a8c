#include "listen/ConnectionPanel.h"

#include "listen/SpinningIndicator.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

template<typename Widget> Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
    return widget;
}

} // namespace

ConnectionPanel::ConnectionPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("Status da Conexão"), parent)
    , Roda(named(new SpinningIndicator(this), QStringLiteral("Roda")))
    , lbConect(named(new QLabel(QStringLiteral("Desconectado"), this), QStringLiteral("lbConect")))
    , lbCanalConect(named(new QLabel(this), QStringLiteral("lbCanalConect")))
    , lbIP(named(new QLabel(this), QStringLiteral("lbIP")))
    , lbTempoConect(
          named(new QLabel(QStringLiteral("00:00:00"), this), QStringLiteral("lbTempoConect")))
    , lbUser(named(new QLabel(this), QStringLiteral("lbUser")))
    , btDesconecta(named(new QPushButton(QStringLiteral("Desconectar"), this),
                         QStringLiteral("btDesconecta")))
{
    setObjectName(QStringLiteral("PanelConexao"));
    setAccessibleDescription(objectName());

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Status:"), lbConect);
    form->addRow(QStringLiteral("Canal:"), lbCanalConect);
    form->addRow(QStringLiteral("IP:"), lbIP);
    form->addRow(QStringLiteral("Tempo:"), lbTempoConect);

    auto *top = new QHBoxLayout;
    top->addLayout(form, 1);
    top->addWidget(Roda, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lbUser);
    layout->addWidget(btDesconecta);
}
