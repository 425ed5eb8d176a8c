#include "app/Escreve.h"

#include "app/Win1252.h"

#include <QFile>

void Escreve(const QString &line, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QByteArray bytes = Win1252::encode(line);
    bytes.append("\r\n");
    file.write(bytes);
}
