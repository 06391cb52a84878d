#include "settings/exporttab.h"

#include "exchange/spreadsheet.h"
#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/tabshape.h"
#include "views/datastore.h"
#include "widgets/unitgeometry.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace settings {

using exchange::SheetFormat;
using exchange::SheetTarget;
using exchange::sheetFilters;
using exchange::sheetTarget;

namespace {

struct Choice
{
    const char *name;
    const char *caption;
    const char *definition;
    const char *sheet;
};

const Choice kChoices[] = {
    {"rb_1", "通讯录", "d_telpro_all", "t_telinfo"},
    {"rb_2", "笔记本", "d_notepro_all", "p_info"},
    {"rb_3", "个人资产", "d_capital_all", "ca_info"},
    {"rb_4", "记帐", "d_account_all", "t_account"},
};

} // namespace

ExportTab::ExportTab(Connection &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
    gb_b = new QGroupBox(this);
    gb_b->setObjectName(QStringLiteral("gb_b"));
    gb_b->setAccessibleName(QStringLiteral("导出"));
    st_b1 = new QLabel(QStringLiteral("选择导出项目"), this);
    st_b1->setObjectName(QStringLiteral("st_b1"));
    st_b1->setAccessibleName(st_b1->text());
    for (int i = 0; i < int(std::size(kChoices)); ++i) {
        auto *rb = new QRadioButton(QString::fromUtf8(kChoices[i].caption), this);
        rb->setObjectName(QString::fromLatin1(kChoices[i].name));
        rb->setAccessibleName(rb->text());
        connect(rb, &QRadioButton::clicked, this, [this, i] { rb_clicked(i); });
        m_radios << rb;
    }
    rb_1 = m_radios.at(0);
    rb_2 = m_radios.at(1);
    rb_3 = m_radios.at(2);
    rb_4 = m_radios.at(3);
    rb_1->setChecked(true);
    cb_b1 = pagekit::makeButton(QStringLiteral("导出(&E)"), QStringLiteral("cb_b1"), this);
    connect(cb_b1, &QPushButton::clicked, this, &ExportTab::cb_b1_clicked);

    // The invisible view that reads what is exported.
    ds_1 = new views::DataStore(this);
    ds_1->setObjectName(QStringLiteral("ds_1"));
    ds_1->setDataObject(QString::fromLatin1(kChoices[0].definition));
    ds_1->setConnection(m_db);
}

void ExportTab::rb_clicked(int index)
{
    ds_1->setDataObject(QString::fromLatin1(kChoices[index].definition));
    ds_1->setConnection(m_db);
}

void ExportTab::cb_b1_clicked()
{
    if (ds_1->retrieve() < 1) {
        pagekit::showBox({QStringLiteral("023"), QStringLiteral("数据库中无相关记录!"), platform::Icon::Stop});
        return;
    }
    QString filter;
    const QString chosen = platform::services().fileDialogs->saveFile(
        {QStringLiteral("另存为"), QString(), sheetSuffix(SheetFormat::Xls), sheetFilters().join(QStringLiteral(";;")), QString()},
        &filter);
    if (chosen.isEmpty())
        return;
    const SheetTarget target = sheetTarget(chosen, filter);
    int index = 0;
    while (index < m_radios.size() - 1 && !m_radios.at(index)->isChecked())
        ++index;
    QString reason;
    if (!writeSheet(target.path, target.format, ds_1->exportRows(true), &reason,
                    QString::fromLatin1(kChoices[index].sheet))) {
        // A file that could not be written is said so, with the reason; the dialog's cancel is not.
        pagekit::showBox({QStringLiteral("024A"), QStringLiteral("导出失败!"), platform::Icon::Stop},
                         QStringLiteral("\n") + reason);
        return;
    }
    pagekit::showBox({QStringLiteral("024"), QStringLiteral("备份成功!")});
}

void ExportTab::of_layout(int w, int h)
{
    const QRect frame = tabshape::frame(w, h);
    setUnitGeometry(gb_b, frame);
    setUnitGeometry(cb_b1, tabshape::button(w));
    const int left = frame.x() + 60, top = frame.y() + 60;
    setUnitGeometry(st_b1, QRect(left, top, 700, 80));
    for (int i = 0; i < m_radios.size(); ++i)
        setUnitGeometry(m_radios.at(i), QRect(left + 80 + (i % 2) * 600, top + 120 + (i / 2) * 120, 380, 80));
}

} // namespace settings
