#pragma once

#include "settings/generaloptions.h"

#include "pagekit/page.h"

// The settings page. While it is created it loads the start-up and lock options, which the lock of
// the main window relies on; its controls are still to come.
class u_config : public pagekit::Page
{
    Q_OBJECT
public:
    explicit u_config(QWidget *parent = nullptr);
    void of_layout(int, int) override {}

    // Loads the options (and with them whether a usable lock hotkey exists).
    void constructor();

    const GeneralOptions &loadedOptions() const { return m_options; }

private:
    GeneralOptions m_options;
};
