#include "app/ErrorReport.h"

#include "app/VorlanError.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcError, "vorlan.error")

namespace ErrorReport {
namespace {
Presenter &presenter()
{
    static Presenter p;
    return p;
}
} // namespace

Presenter setPresenter(Presenter next)
{
    Presenter previous = std::move(presenter());
    presenter() = std::move(next);
    return previous;
}

void show(const QString &message)
{
    qCWarning(lcError).noquote() << message;
    if (presenter())
        presenter()(message);
}

bool guarded(const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (const VorlanError &e) {
        show(e.message());
    } catch (const std::exception &e) {
        show(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace ErrorReport
