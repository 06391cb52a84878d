#pragma once

#include "platform/autostart.h"

namespace platform {

// $XDG_CONFIG_HOME/autostart/<name>.desktop (~/.config when unset), as desktops on Linux read it.
class XdgAutostart : public Autostart
{
public:
    bool enable(const QString &name, const QString &command) override;
    QString command(const QString &name) const override;
    bool disable(const QString &name) override;

    static QString entryPath(const QString &name);
};

} // namespace platform
