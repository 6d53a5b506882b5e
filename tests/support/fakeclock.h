#pragma once
// A clock that stands still until the test moves it.
#include "core/clock.h"

namespace vantrel::test {

class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 1, 5), QTime(9, 0)))
        : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& t) { m_now = t; }
    void setValue(double localValue);
    void advanceSecs(qint64 s) { m_now = m_now.addSecs(s); }
    void advanceMSecs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

} // namespace vantrel::test

namespace vantrel {
using test::FakeClock;
}
