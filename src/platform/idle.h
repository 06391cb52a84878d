#pragma once

#include <QObject>

namespace platform {

// Fires elapsed() each time `seconds` pass without keyboard or mouse input to the program.
class IdleCountdown : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // 0 switches it off.
    virtual void arm(int seconds) = 0;
    virtual int seconds() const = 0;

    // While held (a modal task the user is waiting for), an elapsed period is not acted on; when
    // the last hold ends, a full period starts afresh.
    void hold() { ++m_holds; }
    void release()
    {
        if (m_holds > 0 && --m_holds == 0 && seconds() > 0)
            arm(seconds());
    }
    bool held() const { return m_holds > 0; }

signals:
    void elapsed();

private:
    int m_holds = 0;
};

// Holds `countdown` for its lifetime; nothing when there is none.
class IdleHold
{
public:
    explicit IdleHold(IdleCountdown *countdown) : m_countdown(countdown)
    {
        if (m_countdown)
            m_countdown->hold();
    }
    ~IdleHold()
    {
        if (m_countdown)
            m_countdown->release();
    }
    IdleHold(const IdleHold &) = delete;
    IdleHold &operator=(const IdleHold &) = delete;

private:
    IdleCountdown *m_countdown;
};

} // namespace platform
