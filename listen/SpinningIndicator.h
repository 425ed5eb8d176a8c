#pragma once

#include <QWidget>

class QTimer;

// Roda: a small circular progress indicator that turns one step every 100 ms
// while running and stands still (disabled) otherwise.
class SpinningIndicator final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpinningIndicator)

public:
    static constexpr int kStepMs = 100;
    static constexpr int kSteps = 12;

    explicit SpinningIndicator(QWidget *parent = nullptr);

    void start();
    void stop();
    bool isRunning() const;
    int step() const { return m_step; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer *m_timer;
    int m_step = 0;
};
