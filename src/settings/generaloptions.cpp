#include "settings/generaloptions.h"

#include "app/globals.h"
#include "app/profile.h"
#include "platform/services.h"

QStringList GeneralOptions::keyList()
{
    QStringList keys;
    for (char c = '0'; c <= '9'; ++c)
        keys << QString(QLatin1Char(c));
    for (char c = 'A'; c <= 'Z'; ++c)
        keys << QString(QLatin1Char(c));
    return keys;
}

GeneralOptions GeneralOptions::load()
{
    GeneralOptions o;
    o.runAtLogon = platform::services().autostart->command(autostartName()).toLower().contains(QLatin1String("mivo"));
    o.startMax = f_profile(QStringLiteral("startMax")) == QLatin1String("1");
    o.lockStart = f_profile(QStringLiteral("Lockstart")) == QLatin1String("1");
    o.lockTime = f_profile(QStringLiteral("Locktime"));

    const QString stored = f_profile(QStringLiteral("lockshortCut"));
    o.lockEnabled = stored.mid(0, 1) == QLatin1String("1");
    o.ctrl = stored.mid(1, 1) == QLatin1String("1");
    o.shift = stored.mid(2, 1) == QLatin1String("1");
    o.key = stored.mid(3, 1);
    // The key list holds digits and capitals only: a lower-case or other character is not found.
    o.keyFound = !o.key.isEmpty() && keyList().contains(o.key);

    if (o.lockEnabled) {
        if (!o.keyFound)
            o.lockEnabled = false;
        gb_shortcut_get = o.keyFound;
    }
    return o;
}
