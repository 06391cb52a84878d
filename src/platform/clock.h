#pragma once

#include <QDate>
#include <QDateTime>

namespace platform {

// Today's date and the time, as the pages use them (new rows, periods, backup names); tests fix them.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace platform
