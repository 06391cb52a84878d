#pragma once
// The start-up and lock options as the settings page reads them when it is created: the run-at-log-on
// entry and the keys of client.ini. The lock depends on this load: it decides whether a usable hotkey
// was found (gb_shortcut_get), before the main window opens.

#include <QString>
#include <QStringList>

struct GeneralOptions
{
    bool runAtLogon = false;   // the start-with-the-system entry names the program
    bool startMax = false;
    bool lockStart = false;
    QString lockTime;          // minutes, as stored
    bool lockEnabled = false;  // only true when the stored hotkey also names a key of the key list
    bool ctrl = false;
    bool shift = false;
    QString key;               // the stored key character (may be one the list does not hold)
    bool keyFound = false;

    // Reads the options afresh and sets gb_shortcut_get when the lock function is on with a usable key.
    static GeneralOptions load();

    // The keys a hotkey may use: "0" to "9", then "A" to "Z".
    static QStringList keyList();
};

// The name under which the program registers itself to start with the user's log-on.
inline QString autostartName()
{
    return QStringLiteral("Mivo");
}
