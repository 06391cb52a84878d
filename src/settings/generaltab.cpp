#include "settings/generaltab.h"

#include "app/installation.h"
#include "app/settingkeys.h"
#include "app/settingsfile.h"
#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/tabshape.h"
#include "widgets/unitgeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace settings {

namespace {

QCheckBox *checkBox(const QString &caption, const QString &name, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setAccessibleName(caption);
    return c;
}

QLabel *label(const QString &caption, const QString &name, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setAccessibleName(caption);
    return l;
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The minutes as stored, when they are a whole number the field can hold; otherwise nothing, so
// that a save with the lock on asks for valid minutes instead of keeping a changed value.
int storedMinutes(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= 1 && n <= 99 ? n : 0;
}

} // namespace

GeneralTab::GeneralTab(const GeneralOptions &loaded, QWidget *parent)
    : QWidget(parent)
{
    // The frame first, so that it lies behind the controls.
    frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("gb_a"));
    frame->setAccessibleName(QStringLiteral("常规"));

    runAtLogonBox = checkBox(QStringLiteral("随 Windows 一起启动"), QStringLiteral("cbx_a1"), this);
    startMaximizedBox = checkBox(QStringLiteral("启动时窗口最大化"), QStringLiteral("cbx_a2"), this);
    lockBox = checkBox(QStringLiteral("启用锁定功能"), QStringLiteral("cbx_a4"), this);
    hotkeyLabel = label(QStringLiteral("锁定快捷键"), QStringLiteral("st_a3"), this);
    ctrlBox = checkBox(QStringLiteral("Ctrl"), QStringLiteral("cbx_a5"), this);
    shiftBox = checkBox(QStringLiteral("Shift"), QStringLiteral("cbx_a6"), this);
    keyList = new QComboBox(this);
    keyList->setObjectName(QStringLiteral("ddlb_a1"));
    keyList->setAccessibleName(hotkeyLabel->text());
    hotkeyLabel->setBuddy(keyList);
    idleLabel = label(QStringLiteral("自动锁定时间"), QStringLiteral("st_a1"), this);
    // Mask "##" with a spin range of 1 to 99; the lowest value stands for "no minutes given".
    minutesEdit = new QSpinBox(this);
    minutesEdit->setObjectName(QStringLiteral("em_a1"));
    minutesEdit->setAccessibleName(idleLabel->text());
    minutesEdit->setRange(0, 99);
    minutesEdit->setSpecialValueText(QStringLiteral(" "));
    // An emptied field stays empty when it loses the focus, rather than showing its old value again.
    minutesEdit->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    minutesEdit->setValue(10);
    idleLabel->setBuddy(minutesEdit);
    minutesLabel = label(QStringLiteral("分钟"), QStringLiteral("st_a2"), this);
    lockAtStartBox = checkBox(QStringLiteral("启动时锁定"), QStringLiteral("cbx_a3"), this);
    saveButton = pagekit::makeButton(QStringLiteral("保存设置(&O)"), QStringLiteral("cb_a1"), this);

    connect(lockBox, &QCheckBox::clicked, this, &GeneralTab::followLockSwitch);
    connect(saveButton, &QPushButton::clicked, this, &GeneralTab::save);

    display(loaded);
}

void GeneralTab::display(const GeneralOptions &o)
{
    runAtLogonBox->setChecked(o.runAtLogon);
    startMaximizedBox->setChecked(o.startMaximized);
    lockAtStartBox->setChecked(o.lockAtStart);
    minutesEdit->setValue(storedMinutes(o.lockMinutes));
    // The load has already unticked the lock function when its key is not one of the list.
    lockBox->setChecked(o.lockEnabled);
    ctrlBox->setChecked(o.ctrl);
    shiftBox->setChecked(o.shift);
    fillKeyList();
    keyList->setCurrentIndex(o.keyFound ? keyList->findText(o.key) : -1);
    setLockControlsEnabled(lockBox->isChecked());
}

void GeneralTab::fillKeyList()
{
    keyList->addItems(GeneralOptions::keyList());
}

void GeneralTab::setLockControlsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(ctrlBox), static_cast<QWidget *>(shiftBox),
                       static_cast<QWidget *>(keyList), static_cast<QWidget *>(lockAtStartBox),
                       static_cast<QWidget *>(minutesEdit)})
        w->setEnabled(on);
}

void GeneralTab::followLockSwitch()
{
    setLockControlsEnabled(lockBox->isChecked());
}

QString GeneralTab::minutesText() const
{
    // What the field shows: a field the user emptied holds no minutes, whatever it held before.
    bool ok = false;
    const int n = minutesEdit->cleanText().trimmed().toInt(&ok);
    return ok && n >= 1 ? QString::number(n) : QString();
}

void GeneralTab::save()
{
    platform::Services &os = platform::services();
    // The start entry names the executable where it lies now, so saving again after the program
    // moved repairs it.
    if (runAtLogonBox->isChecked())
        os.autostart->enable(autostartName(), programFile(), {QStringLiteral("/hide")});
    else
        os.autostart->disable(autostartName());
    writeSetting(settingkeys::startMaximized, flag(startMaximizedBox->isChecked()));

    const QString use = flag(lockBox->isChecked());
    const QString ctrl = flag(ctrlBox->isChecked());
    const QString shift = flag(shiftBox->isChecked());
    const QString key = keyList->currentText();
    const QString minutes = minutesText();
    const QString lockStart = flag(lockAtStartBox->isChecked());

    QString hotkey = use + ctrl + shift;
    if (!lockBox->isChecked()) {
        if (!pagekit::isBlank(key))
            hotkey += key;
        os.idle->arm(0);
    } else {
        if (pagekit::isBlank(key)) {
            pagekit::showBox({QStringLiteral("022"),
                              QStringLiteral("保存失败!快捷键必须选择一个字母或数字!\n如果不保存,则使用原来的设置!"),
                              platform::Icon::Exclamation});
            return;
        }
        hotkey += key;
        if (minutes.isEmpty()) {
            pagekit::showBox({QStringLiteral("022A"), QStringLiteral("自动锁定时间必须设置一个有效值"),
                              platform::Icon::Exclamation});
            return;
        }
        os.idle->arm(minutes.toInt() * 60);
    }
    writeSetting(settingkeys::lockHotkey, hotkey);
    writeSetting(settingkeys::lockMinutes, minutes);
    writeSetting(settingkeys::lockAtStart, lockStart);
    pagekit::showBox({QStringLiteral("029"), QStringLiteral("保存配置成功!")});
}

void GeneralTab::placeControls(int w, int h)
{
    const QRect area = tabshape::frame(w, h);
    setUnitGeometry(frame, area);
    setUnitGeometry(saveButton, tabshape::button(w));

    // Start-up on the left; the lock on the right, its dependent controls below its switch.
    const int row = 120, line = 80, field = 88, left = area.x() + 60, right = area.x() + 980;
    const int top = area.y() + 60;
    setUnitGeometry(runAtLogonBox, QRect(left, top, 840, line));
    setUnitGeometry(startMaximizedBox, QRect(left, top + row, 840, line));
    setUnitGeometry(lockBox, QRect(right, top, 700, line));
    setUnitGeometry(hotkeyLabel, QRect(right, top + row, 330, line));
    setUnitGeometry(ctrlBox, QRect(right + 340, top + row, 250, line));
    setUnitGeometry(shiftBox, QRect(right + 600, top + row, 270, line));
    setUnitGeometry(keyList, QRect(right + 880, top + row - 4, 210, field));
    setUnitGeometry(idleLabel, QRect(right, top + 2 * row, 460, line));
    setUnitGeometry(minutesEdit, QRect(right + 470, top + 2 * row - 4, 250, field));
    setUnitGeometry(minutesLabel, QRect(right + 740, top + 2 * row, 200, line));
    setUnitGeometry(lockAtStartBox, QRect(right, top + 3 * row, 700, line));
}

} // namespace settings
