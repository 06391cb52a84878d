#pragma once

#include "platform/autostart.h"

namespace platform {

// $XDG_CONFIG_HOME/autostart/<name>.desktop (~/.config when unset), as desktops on Linux read it.
class XdgAutostart : public Autostart
{
public:
    bool enable(const QString &name, const QString &program, const QStringList &arguments) override;
    QString command(const QString &name) const override;
    bool disable(const QString &name) override;

    static QString entryPath(const QString &name);

    // The value of an Exec key that starts `program` with `arguments`: each one quoted where the
    // desktop-entry rules ask for it (blanks, shell characters, anything beyond ASCII), then escaped
    // as a string value of the file.
    static QString execValue(const QString &program, const QStringList &arguments);
    // The program and its arguments an Exec value (as it stands in the file) starts; empty when the
    // value is malformed (an unterminated quote).
    static QStringList execArguments(const QString &value);
};

} // namespace platform
