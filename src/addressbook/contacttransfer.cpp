#include "addressbook/contacttransfer.h"

#include "addressbook/contactexport.h"
#include "addressbook/contactimport.h"
#include "exchange/pendingfile.h"
#include "exchange/spreadsheet.h"
#include "exchange/vcardwriter.h"
#include "pagekit/sheetexport.h"
#include "platform/idle.h"
#include "platform/services.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

namespace addressbook {

namespace {

using platform::Icon;

// The report lists this many notes; a file of thousands of nameless cards is summed up.
constexpr int kNotesShown = 30;

QString counts(const ImportPlan &plan)
{
    return QStringLiteral("新增 %1 个, 补全 %2 个, 跳过 %3 个。").arg(plan.added).arg(plan.merged).arg(plan.skipped);
}

QString noteLines(const QList<exchange::ImportNote> &notes)
{
    QStringList lines;
    for (qsizetype i = 0; i < notes.size() && i < kNotesShown; ++i)
        lines << notes.at(i).message();
    if (notes.size() > kNotesShown)
        lines << QStringLiteral("……另有 %1 条。").arg(notes.size() - kNotesShown);
    return lines.join(QLatin1Char('\n'));
}

NameClash askClash(int clashes, const QString &example, int fileCards)
{
    const QString renamed = exchange::uniqueName(example, [&](const QString &key) { return key == exchange::nameKey(example); });
    const QString text = QStringLiteral("文件的 %1 个联系人中有 %2 个与已有的联系人同名(如“%3”)。\n"
                                        "是: 补全已有联系人的空白栏目\n"
                                        "否: 两个都保留, 新导入的改名(如“%4”)\n"
                                        "取消: 跳过这些联系人")
                             .arg(fileCards)
                             .arg(clashes)
                             .arg(example, renamed);
    switch (platform::messageBox(QStringLiteral("T13"), text, Icon::Question, platform::Buttons::YesNoCancel, 3)) {
    case platform::Answer::Yes:
        return NameClash::FillEmpty;
    case platform::Answer::No:
        return NameClash::KeepBoth;
    default:
        return NameClash::Skip;
    }
}

} // namespace

ContactTransfer::ContactTransfer(Connection &db, QWidget *parent)
    : m_db(db)
    , m_parent(parent)
{
}

bool ContactTransfer::importContacts(const QString &groupCode)
{
    const QString path = platform::services().fileDialogs->openFile(
        {QStringLiteral("导入联系人"), QStringLiteral("联系人文件 (*.vcf *.vcard *.csv);;vCard 文件 (*.vcf *.vcard);;CSV 文件 (*.csv)"),
         QString()});
    return !path.isEmpty() && importFile(path, groupCode);
}

bool ContactTransfer::importFile(const QString &path, const QString &groupCode)
{
    const QString fileName = QFileInfo(path).fileName();
    const exchange::ContactImport file = ContactImporter::readFile(path);
    if (file.failed()) {
        pagekit::showBox({QStringLiteral("T12"), QStringLiteral("无法导入文件 %1!").arg(fileName), Icon::Stop},
                         QStringLiteral("\n") + file.error.message());
        return false;
    }
    if (file.contacts.isEmpty()) {
        QString why = QStringLiteral("\n文件中没有可导入的联系人。");
        if (!file.skipped.isEmpty())
            why += QStringLiteral("\n") + noteLines(file.skipped);
        pagekit::showBox({QStringLiteral("T12"), QStringLiteral("无法导入文件 %1!").arg(fileName), Icon::Stop}, why);
        return false;
    }

    ContactImporter importer(m_db);
    const pagekit::Box failed{QStringLiteral("T15"), QStringLiteral("导入失败, 没有导入任何联系人!"), Icon::Stop};
    if (DbResult loaded = importer.load(); !loaded) {
        pagekit::showBox(failed, QStringLiteral("\n") + loaded.reason);
        return false;
    }
    NameClash clash = NameClash::Skip;
    if (const int n = importer.clashes(file); n > 0)
        clash = askClash(n, importer.firstClash(file), int(file.contacts.size()));
    ImportPlan plan;
    if (DbResult planned = importer.plan(file, groupCode, clash, &plan); !planned) {
        pagekit::showBox(failed, QStringLiteral("\n") + planned.reason);
        return false;
    }
    if (plan.writes.isEmpty()) {
        pagekit::showBox({QStringLiteral("T16"), QStringLiteral("没有导入任何联系人。\n") + counts(plan)},
                         QStringLiteral("\n\n") + noteLines(plan.notes));
        return false;
    }
    if (!pagekit::confirm(QStringLiteral("T14"), QStringLiteral("从文件 %1 导入联系人:\n%2\n开始导入吗?").arg(fileName, counts(plan))))
        return false;

    QProgressDialog dialog(QStringLiteral("正在导入联系人……"), QStringLiteral("取消"), 0, 1000, m_parent);
    dialog.setWindowTitle(QStringLiteral("导入联系人"));
    dialog.setAccessibleName(dialog.windowTitle());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(progressAfterMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        button->setAccessibleName(button->text());
    for (QProgressBar *bar : dialog.findChildren<QProgressBar *>())
        bar->setAccessibleName(dialog.labelText());
    // The program does not lock over the dialog while it runs.
    const platform::IdleHold hold(platform::services().idle.get());
    DbResult failure;
    const auto outcome = importer.write(
        plan,
        [&dialog](qint64 done, qint64 total) {
            dialog.setValue(total > 0 ? int(done * 1000 / total) : 1000);
            return !dialog.wasCanceled();
        },
        &failure);
    dialog.close();
    if (outcome == ContactImporter::Outcome::Cancelled)
        return false;
    if (outcome == ContactImporter::Outcome::Failed) {
        pagekit::showBox(failed, QStringLiteral("\n") + failure.reason);
        return false;
    }
    const QString notes = noteLines(plan.notes);
    pagekit::showBox({QStringLiteral("T16"), QStringLiteral("导入成功!\n") + counts(plan)},
                     notes.isEmpty() ? QString() : QStringLiteral("\n\n") + notes);
    return true;
}

bool ContactTransfer::exportContacts(const QString &groupCode, const QString &groupName)
{
    const pagekit::ExportBoxes boxes{
        {QStringLiteral("T19"), QStringLiteral("没有可导出的联系人!"), Icon::Exclamation},
        {QStringLiteral("T18"), QStringLiteral("导出失败!"), Icon::Stop},
        {QStringLiteral("T17"), QStringLiteral("导出成功!"), Icon::Information},
    };
    QList<exchange::Contact> contacts;
    if (DbResult read = readContacts(m_db, groupCode, &contacts); !read) {
        pagekit::showBox(boxes.failed, QStringLiteral("\n") + read.reason);
        return false;
    }
    if (contacts.isEmpty()) {
        pagekit::showBox(boxes.nothing);
        return false;
    }
    const QString vcard = QStringLiteral("vCard 文件 (*.vcf)");
    QString filter;
    const QString chosen = pagekit::askExportFile(QStringLiteral("导出联系人"), groupName, {vcard}, &filter, QStringLiteral("vcf"));
    if (chosen.isEmpty())
        return false;
    const bool asVCard = chosen.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive)
        || (!exchange::formatOfSuffix(chosen) && filter == vcard);
    if (!asVCard) {
        // The spreadsheet as the settings page's export writes it: every column, as stored.
        DbResult failure;
        const QList<QVariantList> rows = pagekit::groupRows(m_db, QStringLiteral("d_telpro_all"), QStringLiteral("zuhao0"), groupCode, &failure);
        if (!failure) {
            pagekit::showBox(boxes.failed, QStringLiteral("\n") + failure.reason);
            return false;
        }
        return pagekit::writeRows(rows, chosen, filter, QStringLiteral("t_telinfo"), boxes);
    }
    const QString path = chosen.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive) ? chosen : chosen + QStringLiteral(".vcf");
    QString reason;
    if (!exchange::VCardWriter().writeFile<exchange::PendingFile>(path, contacts, &reason)) {
        pagekit::showBox(boxes.failed, QStringLiteral("\n") + reason);
        return false;
    }
    pagekit::showBox(boxes.done, QStringLiteral("\n") + QDir::toNativeSeparators(path));
    return true;
}

} // namespace addressbook
