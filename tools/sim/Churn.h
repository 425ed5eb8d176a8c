#pragma once

#include <QObject>
#include <random>

class QTimer;
class SimState;

// Life on the simulated recorder: calls begin and end at random, so a demo
// board shows rows changing and durations counting.
class Churn final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Churn)

public:
    explicit Churn(SimState *state, QObject *parent = nullptr);

    // Mean time between two changes; 0 stops the churn.
    void setPeriod(int milliseconds);

private:
    void step();

    SimState *m_state;
    QTimer *m_timer;
    std::mt19937 m_random;
};
