#pragma once

#include <QString>

class QWidget;

namespace platform {

class Printers
{
public:
    virtual ~Printers() = default;
    // "name\tdriver\tport" of the current printer, or an empty string when there is none.
    virtual QString description() const = 0;
    // The platform's page set-up and printer choice; false when the user cancelled.
    virtual bool setup(QWidget *parent) = 0;
    virtual bool choose(QWidget *parent) = 0;
};

} // namespace platform
