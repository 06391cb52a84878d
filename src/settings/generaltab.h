#pragma once
// The General page (tp_a) of the settings page: start with the system, maximised start, and the
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
    void of_layout(int w, int h);

    // The minutes as typed: empty when none are given.
    QString minutesText() const;

    // Fills the key list: "0" to "9", then "A" to "Z".
    void ddlb_a1_ue_additem();
    // The lock function switched on or off: its controls follow.
    void cbx_a4_clicked();
    // Saves the page (start entry, start maximised, the lock), in that order.
    void cb_a1_clicked();

    QGroupBox *gb_a;
    QCheckBox *cbx_a1; // 随 Windows 一起启动
    QCheckBox *cbx_a2; // 启动时窗口最大化
    QCheckBox *cbx_a3; // 启动时锁定
    QLabel *st_a3;     // 锁定快捷键
    QCheckBox *cbx_a4; // 启用锁定功能
    QCheckBox *cbx_a5; // Ctrl
    QCheckBox *cbx_a6; // Shift
    QComboBox *ddlb_a1;
    QLabel *st_a1;     // 自动锁定时间
    QSpinBox *em_a1;
    QLabel *st_a2;     // 分钟
    QPushButton *cb_a1;

private:
    void display(const GeneralOptions &o);
    void setLockControlsEnabled(bool on);
};

} // namespace settings
