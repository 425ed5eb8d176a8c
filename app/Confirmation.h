#pragma once

#include <QString>
#include <functional>

class QWidget;

// Yes/No questions to the supervisor. Tests answer through the seam instead
// of a modal box.
namespace Confirmation {

using Asker = std::function<bool(const QString &question)>;

Asker setAsker(Asker asker);

// True when the answer is Yes.
bool ask(QWidget *parent, const QString &question);

} // namespace Confirmation
