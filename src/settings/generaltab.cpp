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
    gb_a = new QGroupBox(this);
    gb_a->setObjectName(QStringLiteral("gb_a"));
    gb_a->setAccessibleName(QStringLiteral("常规"));

    cbx_a1 = checkBox(QStringLiteral("随 Windows 一起启动"), QStringLiteral("cbx_a1"), this);
    cbx_a2 = checkBox(QStringLiteral("启动时窗口最大化"), QStringLiteral("cbx_a2"), this);
    cbx_a4 = checkBox(QStringLiteral("启用锁定功能"), QStringLiteral("cbx_a4"), this);
    st_a3 = label(QStringLiteral("锁定快捷键"), QStringLiteral("st_a3"), this);
    cbx_a5 = checkBox(QStringLiteral("Ctrl"), QStringLiteral("cbx_a5"), this);
    cbx_a6 = checkBox(QStringLiteral("Shift"), QStringLiteral("cbx_a6"), this);
    ddlb_a1 = new QComboBox(this);
    ddlb_a1->setObjectName(QStringLiteral("ddlb_a1"));
    ddlb_a1->setAccessibleName(st_a3->text());
    st_a3->setBuddy(ddlb_a1);
    st_a1 = label(QStringLiteral("自动锁定时间"), QStringLiteral("st_a1"), this);
    // Mask "##" with a spin range of 1 to 99; the lowest value stands for "no minutes given".
    em_a1 = new QSpinBox(this);
    em_a1->setObjectName(QStringLiteral("em_a1"));
    em_a1->setAccessibleName(st_a1->text());
    em_a1->setRange(0, 99);
    em_a1->setSpecialValueText(QStringLiteral(" "));
    // An emptied field stays empty when it loses the focus, rather than showing its old value again.
    em_a1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    em_a1->setValue(10);
    st_a1->setBuddy(em_a1);
    st_a2 = label(QStringLiteral("分钟"), QStringLiteral("st_a2"), this);
    cbx_a3 = checkBox(QStringLiteral("启动时锁定"), QStringLiteral("cbx_a3"), this);
    cb_a1 = pagekit::makeButton(QStringLiteral("保存设置(&O)"), QStringLiteral("cb_a1"), this);

    connect(cbx_a4, &QCheckBox::clicked, this, &GeneralTab::cbx_a4_clicked);
    connect(cb_a1, &QPushButton::clicked, this, &GeneralTab::cb_a1_clicked);

    display(loaded);
}

void GeneralTab::display(const GeneralOptions &o)
{
    cbx_a1->setChecked(o.runAtLogon);
    cbx_a2->setChecked(o.startMaximized);
    cbx_a3->setChecked(o.lockAtStart);
    em_a1->setValue(storedMinutes(o.lockMinutes));
    // The load has already unticked the lock function when its key is not one of the list.
    cbx_a4->setChecked(o.lockEnabled);
    cbx_a5->setChecked(o.ctrl);
    cbx_a6->setChecked(o.shift);
    ddlb_a1_ue_additem();
    ddlb_a1->setCurrentIndex(o.keyFound ? ddlb_a1->findText(o.key) : -1);
    setLockControlsEnabled(cbx_a4->isChecked());
}

void GeneralTab::ddlb_a1_ue_additem()
{
    ddlb_a1->addItems(GeneralOptions::keyList());
}

void GeneralTab::setLockControlsEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(cbx_a5), static_cast<QWidget *>(cbx_a6),
                       static_cast<QWidget *>(ddlb_a1), static_cast<QWidget *>(cbx_a3),
                       static_cast<QWidget *>(em_a1)})
        w->setEnabled(on);
}

void GeneralTab::cbx_a4_clicked()
{
    setLockControlsEnabled(cbx_a4->isChecked());
}

QString GeneralTab::minutesText() const
{
    // What the field shows: a field the user emptied holds no minutes, whatever it held before.
    bool ok = false;
    const int n = em_a1->cleanText().trimmed().toInt(&ok);
    return ok && n >= 1 ? QString::number(n) : QString();
}

void GeneralTab::cb_a1_clicked()
{
    platform::Services &os = platform::services();
    // The start entry names the executable where it lies now, so saving again after the program
    // moved repairs it.
    if (cbx_a1->isChecked())
        os.autostart->enable(autostartName(), programFile(), {QStringLiteral("/hide")});
    else
        os.autostart->disable(autostartName());
    writeSetting(settingkeys::startMaximized, flag(cbx_a2->isChecked()));

    const QString use = flag(cbx_a4->isChecked());
    const QString ctrl = flag(cbx_a5->isChecked());
    const QString shift = flag(cbx_a6->isChecked());
    const QString key = ddlb_a1->currentText();
    const QString minutes = minutesText();
    const QString lockStart = flag(cbx_a3->isChecked());

    QString hotkey = use + ctrl + shift;
    if (!cbx_a4->isChecked()) {
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

void GeneralTab::of_layout(int w, int h)
{
    const QRect frame = tabshape::frame(w, h);
    setUnitGeometry(gb_a, frame);
    setUnitGeometry(cb_a1, tabshape::button(w));

    // Start-up on the left; the lock on the right, its dependent controls below its switch.
    const int row = 120, line = 80, field = 88, left = frame.x() + 60, right = frame.x() + 980;
    const int top = frame.y() + 60;
    setUnitGeometry(cbx_a1, QRect(left, top, 840, line));
    setUnitGeometry(cbx_a2, QRect(left, top + row, 840, line));
    setUnitGeometry(cbx_a4, QRect(right, top, 700, line));
    setUnitGeometry(st_a3, QRect(right, top + row, 330, line));
    setUnitGeometry(cbx_a5, QRect(right + 340, top + row, 250, line));
    setUnitGeometry(cbx_a6, QRect(right + 600, top + row, 270, line));
    setUnitGeometry(ddlb_a1, QRect(right + 880, top + row - 4, 210, field));
    setUnitGeometry(st_a1, QRect(right, top + 2 * row, 460, line));
    setUnitGeometry(em_a1, QRect(right + 470, top + 2 * row - 4, 250, field));
    setUnitGeometry(st_a2, QRect(right + 740, top + 2 * row, 200, line));
    setUnitGeometry(cbx_a3, QRect(right, top + 3 * row, 700, line));
}

} // namespace settings
