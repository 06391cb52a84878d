#pragma once
// Program-wide globals. They live for the whole run; none is persisted here.

#include <QString>

class uo_icon;

extern const QString gs_version;   // shown in the title and the banner
extern const QString gs_build;     // shown in the banner
extern QString gs_apppath;         // directory of the executable, no trailing separator
extern bool gb_shortcut_get;       // a usable lock hotkey was loaded from the settings
extern const QString reg_run;      // the per-user start-up list
extern uo_icon *u_icon;            // the tray icon, owned by the main window

// gs_apppath + separator + name: every file the program names lives next to the executable.
QString appFile(const QString &name);
