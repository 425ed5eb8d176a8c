#include "tools/sim/Churn.h"

#include "tools/sim/SimState.h"

#include <QTimer>

Churn::Churn(SimState *state, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_timer(new QTimer(this))
    , m_random(std::random_device {}())
{
    connect(m_timer, &QTimer::timeout, this, &Churn::step);
}

void Churn::setPeriod(int milliseconds)
{
    m_timer->stop();
    if (milliseconds > 0)
        m_timer->start(milliseconds);
}

void Churn::step()
{
    std::uniform_int_distribution<int> pick(1, 40);
    SimState::Channel &c = m_state->channel(pick(m_random));
    if (c.disabled || c.held)
        return;
    // Calls are longer than pauses: about two thirds of the rows are busy.
    std::bernoulli_distribution busy(2.0 / 3.0);
    c.recording = busy(m_random);
}
