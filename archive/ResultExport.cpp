#include "archive/ResultExport.h"

#include "app/Escreve.h"
#include "app/VorlanError.h"
#include "archive/RecordingsModel.h"

#include <QStringList>

namespace ResultExport {

QString line(const RecordingsModel &model, int row)
{
    static const char *const names[]
        = { "Ramal", "data", "hora", "duração", "número", "bilhete", "obs" };
    QStringList fields;
    for (const char *name : names) {
        const QVariant v = model.value(row, QString::fromUtf8(name));
        fields << (v.isNull() ? QStringLiteral(" ") : RecordingsModel::displayText(v));
    }
    return fields.join(QLatin1Char(';'));
}

int exportAll(RecordingsModel &model, const QString &fileName,
              const std::function<bool(int, int)> &progress)
{
    if (!model.isOpen())
        throw VorlanError(QStringLiteral("Pesquisa: a lista de resultados está fechada."));
    model.fetchAllRows();
    const int total = model.rowCount();
    int last = -1;
    for (int row = 0; row < total; ++row) {
        Escreve(line(model, row), fileName);
        last = row;
        if (progress && !progress(row + 1, total))
            break;
    }
    return last;
}

} // namespace ResultExport
