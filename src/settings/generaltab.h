#pragma once
// The General page ("tp_a") of the settings page: start with the system, maximised start, and the
// lock (on or off, its hotkey, the idle minutes, lock at start). It shows what the page loaded when
// it was created and writes only when "保存设置(&O)" is clicked.

#include "app/generaloptions.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace settings {

class GeneralTab : public QWidget
{
    Q_OBJECT
public:
    GeneralTab(const GeneralOptions &loaded, QWidget *parent = nullptr);

    // Lays the page out `w` × `h` units large.
    void placeControls(int w, int h);

    // The minutes as typed: empty when none are given.
    QString minutesText() const;

    // Fills the key list: "0" to "9", then "A" to "Z".
    void fillKeyList();
    // The lock function switched on or off: its controls follow.
    void followLockSwitch();
    // Saves the page (start entry, start maximised, the lock), in that order.
    void save();

    QGroupBox *frame;
    QCheckBox *runAtLogonBox;
    QCheckBox *startMaximizedBox;
    QCheckBox *lockAtStartBox;
    QLabel *hotkeyLabel;
    QCheckBox *lockBox;       // the lock function on or off
    QCheckBox *ctrlBox;       // the hotkey's modifiers
    QCheckBox *shiftBox;
    QComboBox *keyList;       // the hotkey's letter or digit
    QLabel *idleLabel;
    QSpinBox *minutesEdit;    // idle minutes before the lock
    QLabel *minutesLabel;
    QPushButton *saveButton;

private:
    void display(const GeneralOptions &o);
    void setLockControlsEnabled(bool on);
};

} // namespace settings
