#include "monitor/TDM.h"

TDM::TDM(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("DM"));
}
