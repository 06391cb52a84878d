#pragma once

#include "platform/autostart.h"

namespace platform {

// The value <name> of HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.
class RegistryAutostart : public Autostart
{
public:
    bool enable(const QString &name, const QString &program, const QStringList &arguments) override;
    QString command(const QString &name) const override;
    bool disable(const QString &name) override;
};

} // namespace platform
