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

signals:
    void elapsed();
};

} // namespace platform
