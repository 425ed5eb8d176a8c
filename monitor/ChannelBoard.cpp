#include "monitor/ChannelBoard.h"

#include "monitor/ChannelRow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace {
QWidget *makeHeader(QWidget *parent)
{
    auto *header = new QWidget(parent);
    auto title = [header](const QString &text) {
        auto *label = new QLabel(text, header);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        return label;
    };
    ChannelRow::addColumns(new QHBoxLayout(header), title(QStringLiteral("Nº")),
                           title(QStringLiteral("Nome")), title(QStringLiteral("Status")),
                           title(QStringLiteral("Tempo")));
    return header;
}
} // namespace

ChannelBoard::ChannelBoard(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ChannelBoard"));
    setAccessibleDescription(objectName());
    // Forty rows share the window's width: a slightly smaller font leaves
    // the names room.
    QFont small = font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.9);
    setFont(small);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    const int columns = kChannels / kRowsPerColumn;
    for (int column = 0; column < columns; ++column)
        grid->addWidget(makeHeader(this), 0, column);
    for (int n = 1; n <= kChannels; ++n) {
        auto *row = new ChannelRow(n, this);
        m_rows.at(n - 1) = row;
        grid->addWidget(row, 1 + (n - 1) % kRowsPerColumn, (n - 1) / kRowsPerColumn);
        connect(row, &ChannelRow::doubleClicked, this, &ChannelBoard::rowDoubleClicked);
    }
}
