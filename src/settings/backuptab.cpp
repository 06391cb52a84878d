#include "settings/backuptab.h"

#include "app/appinfo.h"
#include "app/installation.h"
#include "app/settingkeys.h"
#include "app/settingsfile.h"
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
    frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("gb_c"));
    frame->setAccessibleName(QStringLiteral("备份"));
    folderLabel = label(QStringLiteral("备份路径"), QStringLiteral("st_c1"), this);
    folderEdit = new QLineEdit(this);
    folderEdit->setObjectName(QStringLiteral("sle_c1"));
    folderEdit->setAccessibleName(folderLabel->text());
    folderLabel->setBuddy(folderEdit);
    chooseFolderButton = new QToolButton(this);
    chooseFolderButton->setObjectName(QStringLiteral("pb_c1"));
    chooseFolderButton->setIcon(QIcon(appFile(QStringLiteral("resource/P001.gif"))));
    chooseFolderButton->setAccessibleName(QStringLiteral("选择备份文件夹"));
    chooseFolderButton->setToolTip(chooseFolderButton->accessibleName());
    backupButton = pagekit::makeButton(QStringLiteral("备份(&B)"), QStringLiteral("cb_c1"), this);

    autoBackupBox = new QCheckBox(QStringLiteral("退出时自动备份"), this);
    autoBackupBox->setObjectName(QStringLiteral("cbx_c1"));
    autoBackupBox->setAccessibleName(autoBackupBox->text());
    keepLabel = label(QStringLiteral("保留最近"), QStringLiteral("st_c2"), this);
    keepCount = new QSpinBox(this);
    keepCount->setObjectName(QStringLiteral("em_c1"));
    keepCount->setAccessibleName(QStringLiteral("自动备份保留份数"));
    keepCount->setRange(1, 99);
    keepLabel->setBuddy(keepCount);
    copiesLabel = label(QStringLiteral("份"), QStringLiteral("st_c3"), this);

    // The folder as remembered, else the one that holds the database.
    const QString folder = readSetting(settingkeys::backupFolder);
    folderEdit->setText(folder.isEmpty() ? dataFolder() : folder);
    autoBackupBox->setChecked(readSetting(settingkeys::autoBackup) == QLatin1String("1"));
    bool ok = false;
    const int keep = readSetting(settingkeys::autoBackupKeep).toInt(&ok);
    keepCount->setValue(ok && keep >= 1 && keep <= 99 ? keep : DefaultKeep);
    keepCount->setEnabled(autoBackupBox->isChecked());

    connect(chooseFolderButton, &QToolButton::clicked, this, &BackupTab::chooseFolder);
    connect(backupButton, &QPushButton::clicked, this, &BackupTab::backUp);
    // The automatic copies are remembered as soon as they are set.
    connect(autoBackupBox, &QCheckBox::toggled, this, [this](bool on) {
        writeSetting(settingkeys::autoBackup, on ? QStringLiteral("1") : QStringLiteral("0"));
        keepCount->setEnabled(on);
    });
    connect(keepCount, &QSpinBox::valueChanged, this, [](int n) { writeSetting(settingkeys::autoBackupKeep, QString::number(n)); });
}

void BackupTab::chooseFolder()
{
    const QString folder = platform::services().fileDialogs->chooseFolder(QStringLiteral("选择备份文件夹"), folderEdit->text());
    if (folder.isEmpty())
        return;
    folderEdit->setText(folder);
    writeSetting(settingkeys::backupFolder, folder);
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

void BackupTab::backUp()
{
    const QString folder = folderEdit->text();
    if (!QFileInfo(folder).isDir()) {
        pagekit::showBox({QStringLiteral("027"), QStringLiteral("备份路径不存在!请重新选择"), Icon::Stop});
        return;
    }
    const QString source = dataFile(QStringLiteral("mivo.mdb"));
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

void BackupTab::backUpAtExit(Connection &db)
{
    if (readSetting(settingkeys::autoBackup) != QLatin1String("1"))
        return;
    QString folder = readSetting(settingkeys::backupFolder);
    if (folder.isEmpty())
        folder = dataFolder();
    bool ok = false;
    int keep = readSetting(settingkeys::autoBackupKeep).toInt(&ok);
    if (!ok || keep < 1)
        keep = DefaultKeep;
    QString reason;
    if (!autoBackup(db.handle(), folder, platform::services().clock->now(), &reason, keep))
        failed(QStringLiteral("033"), reason);
}

void BackupTab::placeControls(int w, int h)
{
    const QRect area = tabshape::frame(w, h);
    setUnitGeometry(frame, area);
    setUnitGeometry(backupButton, tabshape::button(w));
    const int left = area.x() + 60, top = area.y() + 60, field = 88;
    // The folder's field takes what the frame leaves beside its label and button.
    const int fieldWidth = std::max(200, area.width() - 60 - 340 - 140 - 60);
    setUnitGeometry(folderLabel, QRect(left, top + 4, 330, 80));
    setUnitGeometry(folderEdit, QRect(left + 340, top, fieldWidth, field));
    setUnitGeometry(chooseFolderButton, QRect(left + 340 + fieldWidth + 20, top, 120, field));
    setUnitGeometry(autoBackupBox, QRect(left, top + 160, 700, 80));
    setUnitGeometry(keepLabel, QRect(left + 720, top + 160, 330, 80));
    setUnitGeometry(keepCount, QRect(left + 1060, top + 156, 250, field));
    setUnitGeometry(copiesLabel, QRect(left + 1330, top + 160, 120, 80));
}

} // namespace settings
