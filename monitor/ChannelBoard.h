#pragma once

#include <QWidget>
#include <array>

class ChannelRow;

// The 40 rows in four columns of ten under the header "Nº Nome Status Tempo".
class ChannelBoard final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChannelBoard)

public:
    static constexpr int kChannels = 40;
    static constexpr int kRowsPerColumn = 10;

    explicit ChannelBoard(QWidget *parent = nullptr);

    ChannelRow *row(int channel) const { return m_rows.at(channel - 1); }

Q_SIGNALS:
    void rowDoubleClicked(int channel);

private:
    std::array<ChannelRow *, kChannels> m_rows {};
};
