#pragma once
// The start-up and lock options: the run-at-log-on entry and the keys of client.ini. Loaded afresh
// by whoever needs them: the settings page to show them, the main window to start maximized and
// to set up the lock.

#include <QString>
#include <QStringList>

struct GeneralOptions
{
    bool runAtLogon = false;      // the start-with-the-system entry names the program
    bool startMaximized = false;
    bool lockAtStart = false;
    QString lockMinutes;          // as stored
    bool lockSwitchedOn = false;  // the stored hotkey says the lock function is on
    bool lockEnabled = false;     // switched on, and the stored hotkey names a key of the key list
    bool ctrl = false;
    bool shift = false;
    QString key;                  // the stored key character (may be one the list does not hold)
    bool keyFound = false;

    static GeneralOptions load();

    // The keys a hotkey may use: "0" to "9", then "A" to "Z".
    static QStringList keyList();
};

// The name under which the program registers itself to start with the user's log-on.
inline QString autostartName()
{
    return QStringLiteral("Mivo");
}
