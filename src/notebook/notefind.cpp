#include "notebook/notefind.h"

#include "app/connection.h"
#include "notebook/notesearch.h"
#include "notebook/indexbuilder.h"
#include "views/dataview.h"
#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>

namespace {

const pagekit::Box kNoHit{QStringLiteral("N08"), QStringLiteral("无满足条件的记录!"), platform::Icon::Information};

QCheckBox *checkBox(const QString &caption, const QString &objectName, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(objectName);
    c->setAccessibleName(caption);
    c->setChecked(true);
    return c;
}

} // namespace

NoteFind::NoteFind(Connection &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
    // First, so that the fields it frames lie above it.
    frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("gb_1"));
    frame->setAccessibleName(QStringLiteral("查找条件"));

    groupList = new QComboBox(this);
    groupList->setObjectName(QStringLiteral("ddlb_2"));
    groupList->setEditable(false);
    groupLabel = pagekit::makeLabel(QStringLiteral("组"), QStringLiteral("st_3"), groupList, this);
    textEdit = new QLineEdit(this);
    textEdit->setObjectName(QStringLiteral("sle_2"));
    textLabel = pagekit::makeLabel(QStringLiteral("查找内容"), QStringLiteral("st_4"), textEdit, this);
    inTitles = checkBox(QStringLiteral("标题"), QStringLiteral("cbx_1"), this);
    inContents = checkBox(QStringLiteral("内容"), QStringLiteral("cbx_2"), this);
    findButton = pagekit::makeButton(QStringLiteral("查找(&F)"), QStringLiteral("cb_find"), this);

    hits = new views::DataView(this);
    hits->setObjectName(QStringLiteral("dw_1"));
    hits->setAccessibleName(QStringLiteral("查找结果"));
    hits->setDataObject(QStringLiteral("dw_find"));
    // A failed search says only that nothing was found; its reason stays in the list's store.
    hits->setConnection(m_db);

    indexLine = new QLabel(this);
    indexLine->setObjectName(QStringLiteral("st_index"));
    indexCancel = pagekit::makeButton(QStringLiteral("取消"), QStringLiteral("cb_index_cancel"), this);
    indexCancel->setAccessibleDescription(QStringLiteral("停止建立搜索索引"));
    indexLine->hide();
    indexCancel->hide();

    connect(findButton, &QPushButton::clicked, this, &NoteFind::find);
    // Return in the search text searches, as a click on the button does.
    connect(textEdit, &QLineEdit::returnPressed, findButton, &QPushButton::click);
    connect(inTitles, &QCheckBox::clicked, this, [this] { keepOneTicked(inTitles); });
    connect(inContents, &QCheckBox::clicked, this, [this] { keepOneTicked(inContents); });
    connect(hits, &views::DataView::clicked, this, &NoteFind::sortByHeader);
    connect(hits, &views::DataView::doubleClicked, this, &NoteFind::openHit);
    connect(hits, &views::DataView::retrieveEnd, this, &NoteFind::highlightFirstHit);
    connect(hits, &views::DataView::rowFocusChanged, this, &NoteFind::highlightRow);
}

void NoteFind::setGroups(const QList<pagekit::Group> &groups)
{
    m_groups = groups;
    groupList->clear();
    groupList->addItem(QStringLiteral("全部"));
    for (const pagekit::Group &g : groups)
        groupList->addItem(g.name);
    groupList->setCurrentIndex(0);
}

bool NoteFind::scope(std::optional<QString> *code) const
{
    const int entry = groupList->currentIndex();
    if (entry <= 0 || entry > m_groups.size()) {
        code->reset();
        return true;
    }
    const pagekit::Group &g = m_groups.at(entry - 1);
    QSqlQuery q(m_db.sqlDatabase());
    q.prepare(QStringLiteral("SELECT 1 FROM p_group WHERE groupid = ? AND groupname = ?"));
    q.addBindValue(g.code);
    q.addBindValue(g.name);
    if (!q.exec() || !q.next())
        return false;
    *code = g.code;
    return true;
}

void NoteFind::followIndexBuild(notesearch::IndexBuilder *builder)
{
    auto say = [this](qint64 done, qint64 total) {
        const QString text = QStringLiteral("正在建立搜索索引,已完成 %1%")
                                 .arg(total > 0 ? std::min<qint64>(99, done * 100 / total) : 0);
        indexLine->setText(text);
        indexLine->setAccessibleName(text);
    };
    say(builder->done(), builder->total());
    showIndexLine(builder->isRunning());
    connect(builder, &notesearch::IndexBuilder::progressed, this, [this, say](qint64 done, qint64 total) {
        say(done, total);
        showIndexLine(true);
    });
    connect(builder, &notesearch::IndexBuilder::finished, this, [this] { showIndexLine(false); });
    connect(indexCancel, &QPushButton::clicked, builder, &notesearch::IndexBuilder::cancel);
}

void NoteFind::showIndexLine(bool shown)
{
    if (indexLine->isVisibleTo(this) == shown)
        return;
    indexLine->setVisible(shown);
    indexCancel->setVisible(shown);
    if (m_listWidth > 0)
        placeControls(m_listWidth, m_pageHeight);
}

void NoteFind::find()
{
    std::optional<QString> group;
    long rows = 0;
    if (scope(&group)) {
        rows = notesearch::retrieve(*hits, notesearch::fromFind(group, textEdit->text(), inTitles->isChecked(), inContents->isChecked()));
    } else {
        // The group went from the group table after the list was filled: nothing can be in it.
        hits->reset();
    }
    if (rows <= 0)
        pagekit::showBox(kNoHit);
}

void NoteFind::keepOneTicked(QCheckBox *clicked)
{
    if (!inTitles->isChecked() && !inContents->isChecked())
        (clicked == inTitles ? inContents : inTitles)->setChecked(true);
}

void NoteFind::sortByHeader(int, int, long, const views::ViewObject &object)
{
    m_sort.headerClicked(hits, object);
}

void NoteFind::openHit(int, int, long, const views::ViewObject &object)
{
    const long row = hits->getRow();
    if (object.type != QStringLiteral("column") || row < 1)
        return;
    emit hitOpened(hits->getItemString(row, QStringLiteral("gid")), hits->getItemString(row, QStringLiteral("title")));
}

void NoteFind::highlightFirstHit(long rows)
{
    if (rows > 0)
        pagekit::highlightOnly(hits, hits->getRow());
}

void NoteFind::highlightRow(long currentRow)
{
    pagekit::highlightOnly(hits, currentRow);
}

void NoteFind::placeControls(int listWidth, int pageHeight)
{
    // Two rows of fields in their frame, the list below. The frame and the list share their edges.
    const int left = 18, right = left + listWidth, row = 92, inset = 24;
    setUnitGeometry(frame, QRect(left, 0, listWidth, 262));
    setUnitGeometry(groupLabel, QRect(left + inset, 40, 130, 76));
    setUnitGeometry(groupList, QRect(left + 160, 28, 600, row));
    setUnitGeometry(textLabel, QRect(left + 800, 40, 260, 76));
    const int textX = left + 1070;
    setUnitGeometry(textEdit, QRect(textX, 28, right - inset - textX, row));
    setUnitGeometry(inTitles, QRect(left + 160, 148, 260, 76));
    setUnitGeometry(inContents, QRect(left + 440, 148, 260, 76));
    setUnitGeometry(findButton, QRect(right - inset - 320, 140, 320, row));

    // The index line, while the index is being built, takes a row above the list.
    m_listWidth = listWidth;
    m_pageHeight = pageHeight;
    int top = 276;
    if (indexLine->isVisibleTo(this)) {
        setUnitGeometry(indexCancel, QRect(right - 200, top, 200, row));
        setUnitGeometry(indexLine, QRect(left, top + 8, right - 220 - left, 76));
        top += row + 12;
    }
    const QRect list(left, top, listWidth, pageHeight - top - 28);
    setUnitGeometry(hits, list);
    hits->setColumnWidth(QStringLiteral("title"), units::toPixelsX(list.width() - 800, logicalDpiX()));
}
