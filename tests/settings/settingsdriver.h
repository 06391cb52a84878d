#pragma once
// The settings page as a user has it: a fresh application folder, a client.ini when given, the page
// made afterwards (its creation reads both), every platform seam faked.

#include "pagedriver.h"
#include "settings/generaltab.h"
#include "settings/grouptables.h"
#include "settings/settingspage.h"

#include <QByteArray>

class QWidget;

// Writes client.ini into the current application folder.
void writeSettings(const QByteArray &text);
// Replaces what a field (a line or a spin box) holds by typing, as the user does.
void retype(QWidget *field, const QString &text);

struct SettingsDriver : PageDriver<SettingsPage>
{
    // `settings`: the text of client.ini, or null for none. `prepare` runs on the database after.
    explicit SettingsDriver(const QByteArray &settings = QByteArray(), const std::function<void()> &prepare = {});
};
