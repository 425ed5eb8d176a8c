#include "app/UpperCaseLineEdit.h"

#include <QValidator>

namespace {

class UpperCaseValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

UpperCaseLineEdit::UpperCaseLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new UpperCaseValidator(this));
}
