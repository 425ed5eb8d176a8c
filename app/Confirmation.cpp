#include "app/Confirmation.h"

#include <QApplication>
#include <QMessageBox>

namespace Confirmation {
namespace {
Asker &asker()
{
    static Asker a;
    return a;
}
} // namespace

Asker setAsker(Asker next)
{
    Asker previous = std::move(asker());
    asker() = std::move(next);
    return previous;
}

bool ask(QWidget *parent, const QString &question)
{
    if (asker())
        return asker()(question);
    return QMessageBox::question(parent, QApplication::applicationDisplayName(), question,
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace Confirmation
