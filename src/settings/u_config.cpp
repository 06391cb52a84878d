#include "settings/u_config.h"

#include "app/globals.h"
#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/backuptab.h"
#include "settings/exporttab.h"
#include "settings/generaltab.h"
#include "settings/grouptables.h"
#include "settings/printertab.h"
#include "settings/tabshape.h"
#include "views/font.h"
#include "widgets/unitgeometry.h"

#include <QIcon>
#include <QPushButton>
#include <QTabWidget>

namespace {

QIcon tabIcon(const QString &name)
{
    return QIcon(appFile(QStringLiteral("resource/") + name + QStringLiteral(".ico")));
}

} // namespace

u_config::u_config(Connection &db, QWidget *parent)
    : Page(db, parent)
{
    // The one load of the options, at start also when the page is filled later: the lock needs it.
    // The General page shows what it read.
    constructor();
    // The printer is read at start as well, whenever the page is first shown: the tab shows the
    // printer the program started with.
    m_printerAtStart = platform::services().printers->description();
    created();
}

void u_config::of_build()
{
    setFont(views::songtiFont());

    tab_2 = new QTabWidget(this);
    tab_2->setObjectName(QStringLiteral("tab_2"));
    tab_2->setAccessibleName(QStringLiteral("配置"));
    tp_a = new settings::GeneralTab(m_options);
    tp_b = new settings::ExportTab(db());
    tp_c = new settings::BackupTab(db());
    tp_d = new settings::PrinterTab(m_printerAtStart);
    const struct { QWidget *page; const char *name; const char *caption; const char *icon; } pages[] = {
        {tp_a, "tp_a", "常规", "i017"},
        {tp_b, "tp_b", "导出", "i019"},
        {tp_c, "tp_c", "备份", "i018"},
        {tp_d, "tp_d", "打印机", "i020"},
    };
    for (const auto &p : pages) {
        p.page->setObjectName(QString::fromLatin1(p.name));
        p.page->setAccessibleName(QString::fromUtf8(p.caption));
        tab_2->addTab(p.page, tabIcon(QString::fromLatin1(p.icon)), QString::fromUtf8(p.caption));
    }

    tab_1 = new settings::GroupTables(db(), this);
    connect(tab_1, &settings::GroupTables::saved, this, [this] { ii_restart = 1; });

    cb_4 = pagekit::makeButton(QStringLiteral("关闭(&C)"), QStringLiteral("cb_4"), this);
    cb_1 = pagekit::makeButton(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this);
    cb_2 = pagekit::makeButton(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this);
    cb_3 = pagekit::makeButton(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this);
    connect(cb_1, &QPushButton::clicked, this, &u_config::cb_1_clicked);
    connect(cb_2, &QPushButton::clicked, this, &u_config::cb_2_clicked);
    connect(cb_3, &QPushButton::clicked, this, &u_config::cb_3_clicked);
    connect(cb_4, &QPushButton::clicked, this, &u_config::cb_4_clicked);
}

u_config::~u_config() = default;

void u_config::constructor()
{
    m_options = GeneralOptions::load();
}

void u_config::of_arrange(int w, int h)
{
    using namespace settings;
    // The options above, the group tables below; both leave a strip on the right for the buttons.
    const QRect tabs2(0, 0, w - 500, int(h * 0.4));
    setUnitGeometry(tab_2, tabs2);
    const QSize page = tabshape::pageSize(tab_2, tabs2.size());
    tp_a->of_layout(page.width(), page.height());
    tp_b->of_layout(page.width(), page.height());
    tp_c->of_layout(page.width(), page.height());
    tp_d->of_layout(page.width(), page.height());

    // The group tables end above the strip of 120 units along the bottom, which belongs to the
    // main window's moving banner.
    const int y1 = tabs2.y() + tabs2.height() + 20;
    const QRect tabs1(tabs2.x(), y1, w - 500, h - (tabs2.height() + 20) - 120);
    setUnitGeometry(tab_1, tabs1);
    tab_1->of_layout(tabs1.width(), tabs1.height());

    const int x = tabs2.x() + tabs2.width() + 50;
    const int bw = tabshape::ButtonWidth, bh = tabshape::ButtonHeight;
    setUnitGeometry(cb_4, QRect(x, tabs2.y() + 100, bw, bh));
    setUnitGeometry(cb_1, QRect(x, tabs1.y() + 100, bw, bh));
    setUnitGeometry(cb_2, QRect(x, tabs1.y() + 220, bw, bh));
    setUnitGeometry(cb_3, QRect(x, tabs1.y() + 340, bw, bh));
}

void u_config::of_exit()
{
    settings::BackupTab::of_exit(db());
}

void u_config::cb_1_clicked()
{
    tab_1->of_add();
}

void u_config::cb_2_clicked()
{
    tab_1->of_delete();
}

void u_config::cb_3_clicked()
{
    tab_1->of_save();
}

void u_config::cb_4_clicked()
{
    if (ii_restart == 1
        && platform::messageBox(QStringLiteral("021"), QStringLiteral("必须重新启动程序才能使改动生效,现在重新启动程序吗?"),
                                platform::Icon::Question, platform::Buttons::YesNo, 1)
               == platform::Answer::Yes) {
        // Started afresh from the beginning, with the command line this run had. When the new copy
        // cannot start, this one goes on and the page closes as usual.
        if (platform::services().restarter->restart(platform::startArguments()))
            return;
    }
    setVisible(false);
}
