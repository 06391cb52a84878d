#include "app/generaloptions.h"

#include "app/settingkeys.h"
#include "app/settingsfile.h"
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
    o.startMaximized = readSetting(settingkeys::startMaximized) == QLatin1String("1");
    o.lockAtStart = readSetting(settingkeys::lockAtStart) == QLatin1String("1");
    o.lockMinutes = readSetting(settingkeys::lockMinutes);

    const QString stored = readSetting(settingkeys::lockHotkey);
    o.lockSwitchedOn = stored.startsWith(QLatin1Char('1'));
    o.ctrl = stored.mid(1, 1) == QLatin1String("1");
    o.shift = stored.mid(2, 1) == QLatin1String("1");
    o.key = stored.mid(3, 1);
    // The key list holds digits and capitals only: a lower-case or other character is not found.
    o.keyFound = !o.key.isEmpty() && keyList().contains(o.key);

    o.lockEnabled = o.lockSwitchedOn && o.keyFound;
    return o;
}
