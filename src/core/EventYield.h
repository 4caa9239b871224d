#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Lets pending window events run about every 10 ms during a long loop, so that the window stays
// responsive without a pass through the event loop for every cell.
class EventYield {
public:
    EventYield() { m_clock.start(); }
    void operator()() {
        if (m_clock.hasExpired(10)) {
            QCoreApplication::processEvents();
            m_clock.restart();
        }
    }

private:
    QElapsedTimer m_clock;
};
