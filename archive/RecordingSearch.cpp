#include "archive/RecordingSearch.h"

#include "app/TimeText.h"
#include "app/VorlanError.h"
#include "archive/RecordingsDb.h"
#include "archive/RecordingsModel.h"
#include "archive/ResultStream.h"
#include "archive/SearchStatement.h"

#include <QPointer>
#include <QTime>

namespace {
QTime timeParameter(const QString &text)
{
    const std::optional<int> seconds = TimeText::parseTimeOfDay(text);
    if (!seconds)
        throw VorlanError(QStringLiteral("'%1' não é um horário válido.").arg(text));
    return QTime::fromMSecsSinceStartOfDay(*seconds * 1000);
}
} // namespace

RecordingSearch::RecordingSearch(RecordingsDb *db, RecordingsModel *model, Notifier notify)
    : m_db(db)
    , m_model(model)
    , m_notify(std::move(notify))
{
    // A comment saved while a large list still streams in waits for its
    // last row rather than losing the rest of the list.
    // The page may outlive either one, hence the guard.
    m_db->setBeforeStatement([model = QPointer<RecordingsModel>(model)] {
        if (model)
            model->finishReading();
    });
}

QString RecordingSearch::lastStatement() const
{
    return m_statement;
}

QVariantMap RecordingSearch::lastValues() const
{
    return m_values;
}

void RecordingSearch::open(const QString &statement, const QVariantMap &values)
{
    m_model->closeList();
    m_statement = statement;
    m_values = values;
    m_model->openList(m_db->stream(statement, values));
}

void RecordingSearch::run(const SearchInputs &in)
{
    using namespace SearchStatement;
    if (in.kind < 0 || in.kind >= KindCount) {
        m_notify(QStringLiteral("Selecione um tipo de Relatório."));
        return;
    }
    const QString horaIni = in.hora + QStringLiteral(":00");
    const QString horaFin = in.hora1 + QStringLiteral(":59");
    if (in.kind == PorDataGeral && !m_db->isConnected())
        m_notify(QStringLiteral("Esta Desconectado"));

    auto attempt = [&](bool fallback) {
        m_model->closeList();
        const QString text = statement(in.kind, in.value, fallback);
        QVariantMap values;
        if (usesTimes(in.kind)) {
            values.insert(QStringLiteral("pHoraIni"), timeParameter(horaIni));
            values.insert(QStringLiteral("pHoraFin"), timeParameter(horaFin));
        }
        if (usesDates(in.kind)) {
            values.insert(QStringLiteral("pInicial"), in.from);
            values.insert(QStringLiteral("pFinal"), in.to);
        }
        open(text, values);
    };

    if (in.kind == PorDataGeral) {
        // A database without the column busy fails the first form.
        try {
            attempt(false);
            return;
        } catch (const VorlanError &) {
            m_model->closeList();
        }
        attempt(true);
        return;
    }
    attempt(false);
}

void RecordingSearch::refresh()
{
    if (m_statement.isEmpty())
        return;
    open(m_statement, m_values);
}
