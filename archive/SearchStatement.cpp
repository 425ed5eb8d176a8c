#include "archive/SearchStatement.h"

#include <QStringList>

namespace SearchStatement {

QString kindName(int kind)
{
    static const QStringList names {
        QStringLiteral("Por Data Geral"),       QStringLiteral("Por Data Ramal"),
        QStringLiteral("Por Data\\Hora Geral"), QStringLiteral("Por Data\\Hora Ramal"),
        QStringLiteral("Por Ramal Geral"),      QStringLiteral("Por Telefone"),
        QStringLiteral("Por Telefone\\Data"),   QStringLiteral("Todas Gravações"),
        QStringLiteral("Por Comentário"),       QStringLiteral("Não Bilhetada Data"),
    };
    return names.value(kind);
}

QString SqlQuote(const QString &text)
{
    // A backslash is doubled as well: the server reads it as an escape, so a
    // lone one could swallow the closing quote (and "\'" would also confuse
    // the placeholder scanner, which knows nothing of backslash escapes).
    QString body = text;
    body.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    body.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + body + QLatin1Char('\'');
}

namespace {
QString likeQuote(const QString &text)
{
    // In LIKE the server unescapes the literal and then reads "\" as the
    // pattern's escape, so a typed backslash needs four to match itself.
    QString pattern = text;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return SqlQuote(QLatin1Char('%') + pattern + QLatin1Char('%'));
}

QString periodTail()
{
    return QStringLiteral("and Registro.Data_Ini >=:pInicial")
        + QStringLiteral(" and Registro.Data_Ini <=:pFinal");
}

const QString timeTail
    = QStringLiteral(" and Registro.Hora_Ini >=:pHoraIni and Registro.Hora_Ini <=:pHoraFin");
} // namespace

QString selectList()
{
    return QStringLiteral("SELECT integra.id_reg,integra.ramal") + SqlQuote(QStringLiteral("Ramal"))
        + QStringLiteral(",Registro.id,Registro.data_ini") + SqlQuote(QStringLiteral("Data"))
        + QStringLiteral(",Registro.hora_ini") + SqlQuote(QStringLiteral("Hora"))
        + QStringLiteral(",integra.duracao") + SqlQuote(QStringLiteral("Duração"))
        + QStringLiteral(",integra.numero") + SqlQuote(QStringLiteral("Número"))
        + QStringLiteral(",Integra.bilhete") + SqlQuote(QStringLiteral("Bilhete"))
        + QStringLiteral(",registro.path,registro.obs,registro.sentido")
        + SqlQuote(QStringLiteral("Sentido"));
}

QString fromClause()
{
    return QStringLiteral(" from (integra inner join registro on integra.id_reg=registro.id) ");
}

QString statement(int kind, const QString &value, bool fallback)
{
    const QString head = selectList() + fromClause();
    const QString v = SqlQuote(value);
    const QString period
        = QStringLiteral("where Registro.Data_Ini >=:pInicial and Registro.Data_Ini <=:pFinal");
    switch (kind) {
    case PorDataGeral:
        if (fallback)
            return head + period + QStringLiteral(" order by registro.data_ini,Registro.hora_ini");
        return head + period + QStringLiteral(" and busy=") + SqlQuote(QStringLiteral("NÃO"))
            + QStringLiteral(" order by registro.data_ini,Registro.hora_ini");
    case PorDataRamal:
        return head + QStringLiteral("where integra.ramal =") + v + periodTail();
    case PorDataHoraGeral:
        return head + period + timeTail;
    case PorDataHoraRamal:
        return head + QStringLiteral("where integra.ramal =") + v + periodTail() + timeTail;
    case PorRamalGeral:
        return head + QStringLiteral("where integra.ramal =") + v;
    case PorTelefone:
        return head + QStringLiteral("where integra.numero like ") + likeQuote(value);
    case PorTelefoneData:
        return head + QStringLiteral("where integra.numero like ") + likeQuote(value)
            + QStringLiteral(" and Registro.Data_Ini >=:pInicial and Registro.Data_Ini <=:pFinal");
    case TodasGravacoes:
        return selectList()
            + QStringLiteral(" from (integra inner join registro on "
                             "integra.id_reg=registro.id) order by Registro.id");
    case PorComentario:
        return head + QStringLiteral("where Registro.obs like ") + likeQuote(value);
    case NaoBilhetadaData:
        return head + QStringLiteral("where integra.ramal =") + SqlQuote(QStringLiteral("N/B"))
            + periodTail() + QStringLiteral(" and busy=") + SqlQuote(QStringLiteral("NÃO"));
    default:
        return {};
    }
}

bool usesDates(int kind)
{
    return kind == PorDataGeral || kind == PorDataRamal || kind == PorDataHoraGeral
        || kind == PorDataHoraRamal || kind == PorTelefoneData || kind == NaoBilhetadaData;
}

bool usesTimes(int kind)
{
    return kind == PorDataHoraGeral || kind == PorDataHoraRamal;
}

} // namespace SearchStatement
