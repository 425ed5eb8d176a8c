#include "tools/sim/SimState.h"

SimState::SimState(QObject *parent)
    : QObject(parent)
{
    for (int n = 1; n <= 40; ++n)
        m_channels.at(n - 1).name = QStringLiteral("Ramal %1").arg(200 + n);
}
