#include "settings/backuptab.h"

#include "app/globals.h"
#include "app/profile.h"
#include "app/connection.h"
#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/backupcopy.h"
#include "settings/tabshape.h"
#include "widgets/unitgeometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

namespace settings {

namespace {

using platform::Icon;

QLabel *label(const QString &caption, const QString &name, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setAccessibleName(caption);
    return l;
}

void failed(const QString &code, const QString &reason)
{
    pagekit::showBox({code, QStringLiteral("备份失败!"), Icon::Stop}, reason.isEmpty() ? QString() : QStringLiteral("\n") + reason);
}

} // namespace

BackupTab::BackupTab(Connection &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
    gb_c = new QGroupBox(this);
    gb_c->setObjectName(QStringLiteral("gb_c"));
    gb_c->setAccessibleName(QStringLiteral("备份"));
    st_c1 = label(QStringLiteral("备份路径"), QStringLiteral("st_c1"), this);
    sle_c1 = new QLineEdit(this);
    sle_c1->setObjectName(QStringLiteral("sle_c1"));
    sle_c1->setAccessibleName(st_c1->text());
    st_c1->setBuddy(sle_c1);
    pb_c1 = new QToolButton(this);
    pb_c1->setObjectName(QStringLiteral("pb_c1"));
    pb_c1->setIcon(QIcon(appFile(QStringLiteral("resource/P001.gif"))));
    pb_c1->setAccessibleName(QStringLiteral("选择备份文件夹"));
    pb_c1->setToolTip(pb_c1->accessibleName());
    cb_c1 = pagekit::makeButton(QStringLiteral("备份(&B)"), QStringLiteral("cb_c1"), this);

    cbx_c1 = new QCheckBox(QStringLiteral("退出时自动备份"), this);
    cbx_c1->setObjectName(QStringLiteral("cbx_c1"));
    cbx_c1->setAccessibleName(cbx_c1->text());
    st_c2 = label(QStringLiteral("保留最近"), QStringLiteral("st_c2"), this);
    em_c1 = new QSpinBox(this);
    em_c1->setObjectName(QStringLiteral("em_c1"));
    em_c1->setAccessibleName(QStringLiteral("自动备份保留份数"));
    em_c1->setRange(1, 99);
    st_c2->setBuddy(em_c1);
    st_c3 = label(QStringLiteral("份"), QStringLiteral("st_c3"), this);

    // The folder as remembered, else the program's own.
    const QString folder = f_profile(QStringLiteral("bkpath"));
    sle_c1->setText(folder.isEmpty() ? gs_apppath : folder);
    cbx_c1->setChecked(f_profile(autoKey()) == QLatin1String("1"));
    bool ok = false;
    const int keep = f_profile(keepKey()).toInt(&ok);
    em_c1->setValue(ok && keep >= 1 && keep <= 99 ? keep : DefaultKeep);
    em_c1->setEnabled(cbx_c1->isChecked());

    connect(pb_c1, &QToolButton::clicked, this, &BackupTab::pb_c1_clicked);
    connect(cb_c1, &QPushButton::clicked, this, &BackupTab::cb_c1_clicked);
    // The automatic copies are remembered as soon as they are set.
    connect(cbx_c1, &QCheckBox::toggled, this, [this](bool on) {
        f_setprofile(autoKey(), on ? QStringLiteral("1") : QStringLiteral("0"));
        em_c1->setEnabled(on);
    });
    connect(em_c1, &QSpinBox::valueChanged, this, [](int n) { f_setprofile(keepKey(), QString::number(n)); });
}

void BackupTab::pb_c1_clicked()
{
    const QString folder = platform::services().fileDialogs->chooseFolder(QStringLiteral("选择备份文件夹"), sle_c1->text());
    if (folder.isEmpty())
        return;
    sle_c1->setText(folder);
    f_setprofile(QStringLiteral("bkpath"), folder);
}

CopyResult BackupTab::copyTo(const QString &target, QString *reason)
{
    QProgressDialog progress(QStringLiteral("正在备份数据库..."), QStringLiteral("取消"), 0, 100, window());
    progress.setObjectName(QStringLiteral("backupProgress"));
    progress.setWindowTitle(QStringLiteral("备份"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    // A copy the user waits for is not idleness: the lock would leave it running behind a locked
    // window, and its result unsaid or shown over it. The idle period starts afresh after it.
    const platform::IdleHold hold(platform::services().idle.get());
    return copyDatabase(m_db.handle(), target, reason, [&progress](int done, int total) {
        progress.setMaximum(std::max(1, total));
        progress.setValue(std::min(done, std::max(1, total)));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
}

void BackupTab::cb_c1_clicked()
{
    const QString folder = sle_c1->text();
    if (!QFileInfo(folder).isDir()) {
        pagekit::showBox({QStringLiteral("027"), QStringLiteral("备份路径不存在!请重新选择"), Icon::Stop});
        return;
    }
    const QString source = appFile(QStringLiteral("mivo.mdb"));
    const QString proposed = platform::services().clock->today().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".mdb");
    for (;;) {
        // The backup asks "030" itself, so the dialog must not ask first.
        const QString target = platform::services().fileDialogs->saveFile(
            {QStringLiteral("选择备份名称及路径"), proposed, QStringLiteral("mdb"), QStringLiteral("Access 数据库 (*.mdb)"), folder,
             false});
        if (target.isEmpty())
            return;
        // The same file however it is named (a link, "..", another case of the letters where the
        // system ignores it): copying the database over itself would destroy it.
        if (isSameFile(target, source)) {
            pagekit::showBox({QStringLiteral("034"), QStringLiteral("严重警告!目的文件路径名称与当前数据库相同!"), Icon::Stop});
            continue;
        }
        const bool exists = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
        if (exists && !pagekit::confirm(QStringLiteral("030"), QStringLiteral("同名文件已经存在,是否覆盖?")))
            continue;
        QString reason;
        const CopyResult result = copyTo(target, &reason);
        if (result == CopyResult::Cancelled)
            return;
        if (result == CopyResult::Copied)
            pagekit::showBox({exists ? QStringLiteral("025") : QStringLiteral("032"), QStringLiteral("备份成功!")});
        else
            failed(exists ? QStringLiteral("031") : QStringLiteral("033"), reason);
        return;
    }
}

void BackupTab::of_exit(Connection &db)
{
    if (f_profile(autoKey()) != QLatin1String("1"))
        return;
    QString folder = f_profile(QStringLiteral("bkpath"));
    if (folder.isEmpty())
        folder = gs_apppath;
    bool ok = false;
    int keep = f_profile(keepKey()).toInt(&ok);
    if (!ok || keep < 1)
        keep = DefaultKeep;
    QString reason;
    if (!autoBackup(db.handle(), folder, platform::services().clock->now(), &reason, keep))
        failed(QStringLiteral("033"), reason);
}

void BackupTab::of_layout(int w, int h)
{
    const QRect frame = tabshape::frame(w, h);
    setUnitGeometry(gb_c, frame);
    setUnitGeometry(cb_c1, tabshape::button(w));
    const int left = frame.x() + 60, top = frame.y() + 60, field = 88;
    // The folder's field takes what the frame leaves beside its label and button.
    const int fieldWidth = std::max(200, frame.width() - 60 - 340 - 140 - 60);
    setUnitGeometry(st_c1, QRect(left, top + 4, 330, 80));
    setUnitGeometry(sle_c1, QRect(left + 340, top, fieldWidth, field));
    setUnitGeometry(pb_c1, QRect(left + 340 + fieldWidth + 20, top, 120, field));
    setUnitGeometry(cbx_c1, QRect(left, top + 160, 700, 80));
    setUnitGeometry(st_c2, QRect(left + 720, top + 160, 330, 80));
    setUnitGeometry(em_c1, QRect(left + 1060, top + 156, 250, field));
    setUnitGeometry(st_c3, QRect(left + 1330, top + 160, 120, 80));
}

} // namespace settings
