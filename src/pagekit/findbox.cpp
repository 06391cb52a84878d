#include "pagekit/findbox.h"

#include "app/connection.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pagekit {

namespace {

// More lines than fit over a tree are no help: a user types on instead.
constexpr qsizetype kLines = 50;

enum Role { IdRole = Qt::UserRole, GroupRole };

QString placeholders(qsizetype count)
{
    QStringList marks;
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

} // namespace

FindBox::FindBox(Connection &db, const finder::RecordSource &source, QWidget *tree)
    : QFrame(tree->parentWidget())
    , m_db(db)
    , m_source(source)
    , m_tree(tree)
    , m_edit(new QLineEdit(this))
    , m_results(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("findBox"));
    setAccessibleName(QStringLiteral("查找"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);

    m_edit->setObjectName(QStringLiteral("findText"));
    m_edit->setAccessibleName(QStringLiteral("查找"));
    m_edit->setPlaceholderText(QStringLiteral("文字、拼音、首字母或号码"));
    m_edit->setClearButtonEnabled(true);
    m_edit->installEventFilter(this);

    m_results->setObjectName(QStringLiteral("findResults"));
    m_results->setAccessibleName(QStringLiteral("查找结果"));
    m_results->setColumnCount(3);
    m_results->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("组别"), QStringLiteral("匹配")});
    m_results->setHeaderHidden(true);
    m_results->setRootIsDecorated(false);
    m_results->setUniformRowHeights(true);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The typing stays in the line; Up and Down move through the list from there.
    m_results->setFocusPolicy(Qt::NoFocus);
    m_results->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(m_results);

    connect(m_edit, &QLineEdit::textChanged, this, &FindBox::search);
    connect(m_results, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *line) { choose(line); });
    // A click elsewhere leaves the box behind: it closes without taking the focus back.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (isVisible() && now && now != this && !isAncestorOf(now))
            hide();
    });
    m_tree->installEventFilter(this);
    hide();
}

FindBox::~FindBox() = default;

bool FindBox::isOpen() const
{
    return isVisible();
}

bool FindBox::isBuilt() const
{
    return m_index != nullptr;
}

qsizetype FindBox::recordCount() const
{
    return m_index ? m_index->size() : 0;
}

std::size_t FindBox::memoryUsage() const
{
    return m_index ? m_index->memoryUsage() : 0;
}

bool FindBox::build()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto index = std::make_unique<finder::FindIndex>(m_source.fields());
    QString error;
    const bool read = index->load(m_db.handle(), m_source.select(), &error);
    QApplication::restoreOverrideCursor();
    if (!read) {
        platform::messageBox(QStringLiteral("数据库错误"), error, platform::Icon::Stop);
        return false;
    }
    m_index = std::move(index);
    return true;
}

void FindBox::open()
{
    if (!m_index && !build())
        return;
    place();
    show();
    raise();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
    // The records may have changed since the box was last open.
    search();
}

void FindBox::close()
{
    if (!isVisible())
        return;
    hide();
    m_tree->setFocus(Qt::OtherFocusReason);
}

QList<qint64> FindBox::idsWhere(const QString &column, const QVariant &value) const
{
    QSqlQuery q(m_db.sqlDatabase());
    q.prepare(QStringLiteral("SELECT id FROM %1 WHERE %2 = ?").arg(m_source.table, column));
    q.addBindValue(value);
    QList<qint64> ids;
    if (q.exec())
        while (q.next())
            ids << q.value(0).toLongLong();
    return ids;
}

QVariant FindBox::value(qint64 id, const QString &column) const
{
    QSqlQuery q(m_db.sqlDatabase());
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE id = ?").arg(column, m_source.table));
    q.addBindValue(id);
    return q.exec() && q.next() ? q.value(0) : QVariant();
}

void FindBox::refresh(const QList<qint64> &ids)
{
    if (!m_index || ids.isEmpty())
        return;
    QSqlQuery q(m_db.sqlDatabase());
    q.setForwardOnly(true);
    q.prepare(m_source.select(QStringLiteral("id IN (%1)").arg(placeholders(ids.size()))));
    for (const qint64 id : ids)
        q.addBindValue(id);
    if (!q.exec())
        return; // the index stays as it was; the next reload reads it whole
    QSet<qint64> stored;
    while (q.next()) {
        finder::Record r{q.value(0).toLongLong(), {}};
        for (qsizetype c = 0; c < m_source.columns.size(); ++c)
            r.values << q.value(int(c + 1)).toString();
        m_index->update(r);
        stored.insert(r.id);
    }
    for (const qint64 id : ids)
        if (!stored.contains(id))
            m_index->remove(id);
    if (isOpen())
        search();
}

void FindBox::reload()
{
    if (!m_index)
        return;
    m_index.reset();
    if (isOpen() && build())
        search();
}

void FindBox::search()
{
    m_results->clear();
    const QString text = m_edit->text();
    const QList<finder::Hit> hits = m_index ? m_index->search(text, kLines) : QList<finder::Hit>();
    if (text.trimmed().isEmpty()) {
        m_results->hide();
        place();
        return;
    }

    // Only the lines shown are read from the database: their group's name and the matched value.
    struct Row
    {
        QString groupCode, groupName;
        QStringList values;
    };
    QHash<qint64, Row> rows;
    if (!hits.isEmpty()) {
        QStringList columns{QStringLiteral("r.id"), QStringLiteral("r.") + m_source.groupColumn, QStringLiteral("g.") + m_source.groupName};
        for (const finder::SourceColumn &c : m_source.columns)
            columns << QStringLiteral("r.") + c.column;
        QSqlQuery q(m_db.sqlDatabase());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT %1 FROM %2 r LEFT JOIN %3 g ON g.%4 = r.%5 WHERE r.id IN (%6)")
                      .arg(columns.join(QStringLiteral(", ")), m_source.table, m_source.groupTable, m_source.groupCode,
                           m_source.groupColumn, placeholders(hits.size())));
        for (const finder::Hit &h : hits)
            q.addBindValue(h.id);
        if (q.exec())
            while (q.next()) {
                Row row{q.value(1).toString(), q.value(2).toString(), {}};
                for (qsizetype c = 0; c < m_source.columns.size(); ++c)
                    row.values << q.value(int(c + 3)).toString();
                rows.insert(q.value(0).toLongLong(), row);
            }
    }

    for (const finder::Hit &h : hits) {
        const auto row = rows.constFind(h.id);
        if (row == rows.constEnd())
            continue; // gone from the database behind the index's back
        const finder::SourceColumn &matched = m_source.columns.at(h.field);
        const QString field = h.field == 0 ? matched.caption : matched.caption + QStringLiteral(": ") + row->values.at(h.field);
        auto *line = new QTreeWidgetItem(m_results, {row->values.first(), row->groupName.isEmpty() ? row->groupCode : row->groupName, field});
        line->setData(0, IdRole, h.id);
        line->setData(0, GroupRole, row->groupCode);
    }
    if (m_results->topLevelItemCount() == 0) {
        auto *none = new QTreeWidgetItem(m_results, {QStringLiteral("无匹配记录")});
        none->setFlags(Qt::NoItemFlags);
    } else {
        m_results->setCurrentItem(m_results->topLevelItem(0));
    }
    m_results->show();
    place();
}

void FindBox::moveCurrent(int step)
{
    const int count = m_results->topLevelItemCount();
    QTreeWidgetItem *current = m_results->currentItem();
    if (!m_results->isVisible() || count == 0 || !current || !(current->flags() & Qt::ItemIsEnabled))
        return;
    const int at = qBound(0, m_results->indexOfTopLevelItem(current) + step, count - 1);
    m_results->setCurrentItem(m_results->topLevelItem(at));
    m_results->scrollToItem(m_results->currentItem());
}

void FindBox::choose(QTreeWidgetItem *line)
{
    if (!line || !(line->flags() & Qt::ItemIsEnabled))
        return;
    const FoundRecord record{line->data(0, IdRole).toLongLong(), line->text(0), line->data(0, GroupRole).toString()};
    close();
    emit chosen(record);
}

bool FindBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        if (isVisible())
            place();
    } else if (watched == m_edit && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Escape:
            close();
            return true;
        case Qt::Key_Up:
            moveCurrent(-1);
            return true;
        case Qt::Key_Down:
            moveCurrent(1);
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const int rows = qMax(1, m_results->viewport()->height() / qMax(1, m_results->sizeHintForRow(0)) - 1);
            moveCurrent(static_cast<QKeyEvent *>(event)->key() == Qt::Key_PageUp ? -rows : rows);
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_results->isVisible())
                choose(m_results->currentItem());
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void FindBox::place()
{
    const QRect tree = m_tree->geometry();
    int height = m_edit->sizeHint().height() + 2 * frameWidth();
    if (m_results->isVisibleTo(this)) {
        const int lines = qMax(1, m_results->topLevelItemCount());
        height += lines * qMax(1, m_results->sizeHintForRow(0)) + 2 * m_results->frameWidth();
    }
    setGeometry(tree.x(), tree.y(), tree.width(), qMin(height, tree.height()));
    const int width = tree.width() - 2 * (frameWidth() + m_results->frameWidth());
    m_results->setColumnWidth(0, width * 2 / 5);
    m_results->setColumnWidth(1, width / 4);
}

} // namespace pagekit
