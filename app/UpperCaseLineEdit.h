#pragma once

#include <QLineEdit>

// A one-line field that turns every letter it is given into a capital, as
// the chat name and the chat message fields do.
class UpperCaseLineEdit final : public QLineEdit
{
    Q_OBJECT

public:
    explicit UpperCaseLineEdit(QWidget *parent = nullptr);
};
