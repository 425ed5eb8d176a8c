#include "monitor/ChannelBoard.h"

#include "monitor/ChannelRow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace {
QWidget *makeHeader(QWidget *parent)
{
    auto *header = new QWidget(parent);
    auto *layout = new QHBoxLayout(header);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    const QString titles[] = { QStringLiteral("Nº"), QStringLiteral("Nome"),
                               QStringLiteral("Status"), QStringLiteral("Tempo") };
    for (const QString &title : titles) {
        auto *label = new QLabel(title, header);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        layout->addWidget(label, title == QLatin1String("Nome") ? 1 : 0);
    }
    return header;
}
} // namespace

ChannelBoard::ChannelBoard(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ChannelBoard"));
    setAccessibleDescription(objectName());
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
