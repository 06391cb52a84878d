#include "views/gridview.h"

#include "views/editors.h"
#include "views/format.h"
#include "views/gridmodel.h"

#include <QAccessibleWidget>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace views::detail {

// Cell editors made from the column's definition, so a grid refuses what a card refuses.
class GridDelegate : public QStyledItemDelegate
{
public:
    GridDelegate(GridPart *part, GridModel *model, const Lookups *lookups)
        : QStyledItemDelegate(part), m_part(part), m_model(model), m_lookups(lookups) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const Column &col = m_model->columnAt(index.column());
        QWidget *editor = views::detail::createEditor(col, m_lookups->choices.value(m_model->definitionColumn(index.column())), true, parent);
        editor->setAutoFillBackground(true);
        const long row = index.row() + 1;
        const QString name = col.name;
        GridPart *part = m_part;
        connectEdits(
            editor, editor, [part, row, name](const QString &t) { emit part->edited(row, name, t); }, [] {}, [] {});
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        setEditorValue(editor, m_model->columnAt(index.column()), index.data(Qt::EditRole));
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        QVariant value;
        if (parseEditText(m_model->columnAt(index.column()), editorText(editor), &value, nullptr))
            model->setData(index, value, Qt::EditRole);
    }

private:
    GridPart *m_part;
    GridModel *m_model;
    const Lookups *m_lookups;
};

// The table itself. An editor whose text does not fit its column is neither written nor closed,
// so what was typed stays on screen; the row does not change meanwhile.
class GridTable : public QTableView
{
public:
    GridTable(GridPart *part)
        : QTableView(part), m_part(part) {}

    QPointer<QWidget> refused;
    QString refusedReason;
    QModelIndex refusedIndex;

    bool validate(QWidget *editor, const QModelIndex &index, QString *reason) const
    {
        QVariant v;
        return parseEditText(m_part->m_model->columnAt(index.column()), editorText(editor), &v, reason);
    }

    QWidget *openEditor(QModelIndex *at) const
    {
        const QModelIndex cur = currentIndex();
        if (cur.isValid())
            if (QWidget *w = indexWidget(cur)) {
                *at = cur;
                return w;
            }
        if (refused) {
            *at = refusedIndex;
            return refused;
        }
        return nullptr;
    }

    void commitData(QWidget *editor) override
    {
        const QModelIndex index = indexAt(editor->geometry().center());
        QString reason;
        if (!validate(editor, index, &reason)) {
            refused = editor;
            refusedReason = reason;
            refusedIndex = index;
            return;
        }
        if (editor == refused)
            refused = nullptr;
        QTableView::commitData(editor);
    }

    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        if (editor == refused)
            return;
        QTableView::closeEditor(editor, hint);
    }

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        QTableView::currentChanged(current, previous);
        if (refused && previous.isValid() && refusedIndex == previous && current != previous) {
            // Back to the cell whose text was refused.
            QPointer<QWidget> editor = refused;
            QTimer::singleShot(0, this, [this, previous, editor] {
                setCurrentIndex(previous);
                if (editor)
                    editor->setFocus();
            });
            return;
        }
        if (current.isValid() && current.row() != previous.row() && !m_settingRow && !m_part->m_model->mutating())
            emit m_part->rowRequested(current.row() + 1);
    }

    void mousePressEvent(QMouseEvent *e) override
    {
        QTableView::mousePressEvent(e);
        const QModelIndex index = indexAt(e->position().toPoint());
        report(e, index, false);
    }

    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QTableView::mouseReleaseEvent(e);
        // One click in an editable cell puts the caret there.
        const QModelIndex index = indexAt(e->position().toPoint());
        if (e->button() == Qt::LeftButton && index.isValid() && index == currentIndex()
            && (model()->flags(index) & Qt::ItemIsEditable) && !indexWidget(index))
            edit(index);
    }

    void mouseDoubleClickEvent(QMouseEvent *e) override
    {
        QTableView::mouseDoubleClickEvent(e);
        report(e, indexAt(e->position().toPoint()), true);
    }

private:
    void report(QMouseEvent *e, const QModelIndex &index, bool twice)
    {
        const QPoint pos = viewport()->mapTo(m_part, e->position().toPoint());
        ViewObject object;
        long row = 0;
        if (index.isValid()) {
            object = {m_part->m_model->columnAt(index.column()).name, QStringLiteral("column")};
            row = index.row() + 1;
        }
        if (twice)
            emit m_part->doubleClicked(pos, row, object);
        else
            emit m_part->clicked(pos, row, object);
    }

public:
    GridPart *m_part;
    bool m_settingRow = false;
};

// The band under the rows: fixed texts and computed fields, each under its column, following the
// columns as they scroll and resize.
class SummaryBand : public QWidget
{
public:
    SummaryBand(GridPart *part)
        : QWidget(part), m_part(part)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width(), 0);
        for (const Compute &c : m_part->def()->summary) {
            const QRect r = m_part->summaryRect(c);
            if (r.isEmpty())
                continue;
            const QColor color = m_part->m_model->summaryColor(c);
            p.setPen(color.isValid() ? color : palette().color(QPalette::WindowText));
            const bool number = c.kind == ComputeKind::Sum || c.kind == ComputeKind::Difference;
            p.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft),
                       m_part->m_model->summaryText(c));
        }
    }

    void mousePressEvent(QMouseEvent *e) override { report(e, false); }
    void mouseDoubleClickEvent(QMouseEvent *e) override { report(e, true); }

private:
    void report(QMouseEvent *e, bool twice)
    {
        const QPoint at = e->position().toPoint();
        const Compute *c = m_part->summaryAt(at);
        const ViewObject object = c ? ViewObject{c->name, c->objectType()} : ViewObject{};
        const QPoint pos = mapTo(m_part, at);
        if (twice)
            emit m_part->doubleClicked(pos, 0, object);
        else
            emit m_part->clicked(pos, 0, object);
    }

    GridPart *m_part;

public:
    // What the band shows, left to right: "合计: 6人".
    QString shownText() const
    {
        QStringList texts;
        for (const Compute &c : m_part->def()->summary)
            if (!m_part->summaryRect(c).isNull())
                texts << m_part->m_model->summaryText(c);
        return texts.join(QLatin1Char(' '));
    }
};

// A screen reader reads the band as the eye does: its name is the text of every field, always current.
class SummaryAccessible : public QAccessibleWidget
{
public:
    explicit SummaryAccessible(SummaryBand *band)
        : QAccessibleWidget(band, QAccessible::StaticText), m_band(band) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return m_band->shownText();
        return QAccessibleWidget::text(t);
    }

private:
    SummaryBand *m_band;
};

QAccessibleInterface *summaryAccessibleFactory(const QString &, QObject *object)
{
    if (auto *band = dynamic_cast<SummaryBand *>(object))
        return new SummaryAccessible(band);
    return nullptr;
}

GridPart::GridPart(DataStore *store, const Lookups *lookups, QWidget *parent)
    : ViewPart(store, lookups, parent)
    , m_model(new GridModel(store, lookups, this))
    , m_table(new GridTable(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);

    m_table->setModel(m_model);
    m_table->setItemDelegate(new GridDelegate(this, m_model, lookups));
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(m_model->anyEditable()
                                 ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked
                                 : QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->setWordWrap(false);
    m_table->setCornerButtonEnabled(false);
    m_table->setAlternatingRowColors(false);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QHeaderView *header = m_table->horizontalHeader();
    // Not clickable for the header itself: a press would move the current cell to the top row.
    // Clicks reach the page through the event filter instead.
    header->setSectionsClickable(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setStretchLastSection(false);
    header->viewport()->installEventFilter(this);
    m_table->setAccessibleName(def()->name);

    if (!def()->summary.isEmpty()) {
        static const bool factoryInstalled = (QAccessible::installFactory(summaryAccessibleFactory), true);
        Q_UNUSED(factoryInstalled);
        m_band = new SummaryBand(this);
        m_band->setObjectName(QStringLiteral("summary"));
        layout->addWidget(m_band);
        connect(m_model, &GridModel::summaryChanged, m_band, [this] {
            m_band->update();
            if (QAccessible::isActive()) {
                QAccessibleEvent changed(m_band, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&changed);
            }
        });
        connect(header, &QHeaderView::sectionResized, m_band, qOverload<>(&QWidget::update));
        connect(header, &QHeaderView::geometriesChanged, m_band, qOverload<>(&QWidget::update));
        connect(m_table->horizontalScrollBar(), &QScrollBar::valueChanged, m_band, qOverload<>(&QWidget::update));
    }
    applyColumnWidths();
}

void GridPart::applyColumnWidths()
{
    const QFontMetrics fm(font());
    const int rowHeight = fm.height() + 8;
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_table->verticalHeader()->setMinimumSectionSize(rowHeight);
    if (m_band)
        m_band->setFixedHeight(rowHeight + 2);
    const int unit = fm.horizontalAdvance(QLatin1Char('0'));
    for (int s = 0; s < m_model->columnCount(); ++s) {
        const Column &c = m_model->columnAt(s);
        const int chars = c.displayWidth > 0 ? c.displayWidth : (c.width > 0 ? qMin(c.width, 30) : 12);
        const int width = qMax(chars * unit + 12, fm.horizontalAdvance(c.label) + 20);
        m_table->setColumnWidth(s, width);
    }
}

bool GridPart::setColumnWidth(const QString &column, int pixels)
{
    const int s = m_model->sectionOf(column);
    if (s < 0)
        return false;
    m_table->setColumnWidth(s, qMax(0, pixels));
    return true;
}

void GridPart::showRow(long row)
{
    m_table->m_settingRow = true;
    const int section = qMax(0, m_table->currentIndex().column());
    if (row <= 0)
        m_table->setCurrentIndex(QModelIndex());
    else if (m_table->currentIndex().row() != row - 1)
        m_table->setCurrentIndex(m_model->index(int(row - 1), section));
    m_table->m_settingRow = false;
}

void GridPart::bringIntoView(long row)
{
    if (row >= 1 && row <= m_store->rowCount())
        m_table->scrollTo(m_model->index(int(row - 1), qMax(0, m_table->currentIndex().column())));
}

bool GridPart::acceptText(QString *reason)
{
    QModelIndex at;
    QWidget *editor = m_table->openEditor(&at);
    if (!editor)
        return true;
    if (!m_table->validate(editor, at, reason)) {
        m_table->refused = editor;
        m_table->refusedReason = reason ? *reason : QString();
        m_table->refusedIndex = at;
        return false;
    }
    m_table->refused = nullptr;
    m_table->commitData(editor);
    m_table->closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

QRect GridPart::summaryRect(const Compute &c) const
{
    const int s = m_model->sectionOf(c.underColumn);
    if (s < 0 || !m_band)
        return {};
    const QHeaderView *h = m_table->horizontalHeader();
    const int x = h->sectionViewportPosition(s) + m_table->viewport()->mapTo(this, QPoint(0, 0)).x();
    return QRect(x, 0, h->sectionSize(s), m_band->height());
}

const Compute *GridPart::summaryAt(QPoint bandPos) const
{
    for (const Compute &c : def()->summary) {
        const QRect r = summaryRect(c);
        if (r.contains(bandPos))
            return &c;
    }
    return nullptr;
}

QRect GridPart::objectRect(const QString &name, long row) const
{
    const QHeaderView *h = m_table->horizontalHeader();
    if (name.endsWith(QStringLiteral("_t"))) {
        const int s = m_model->sectionOf(name.chopped(2));
        if (s >= 0) {
            const QRect r(h->sectionViewportPosition(s), 0, h->sectionSize(s), h->height());
            return r.translated(h->viewport()->mapTo(this, QPoint(0, 0)));
        }
    }
    if (const Compute *c = def()->compute(name))
        return m_band ? summaryRect(*c).translated(m_band->pos()) : QRect();
    const int s = m_model->sectionOf(name);
    if (s < 0)
        return {};
    const long r = row > 0 ? row : m_table->currentIndex().row() + 1;
    if (r < 1 || r > m_store->rowCount())
        return {};
    const QRect cell = m_table->visualRect(m_model->index(int(r - 1), s));
    return cell.translated(m_table->viewport()->mapTo(this, QPoint(0, 0)));
}

QString GridPart::displayText(const QString &name, long row) const
{
    if (const Compute *c = def()->compute(name))
        return m_model->summaryText(*c);
    if (name.endsWith(QStringLiteral("_t"))) {
        const int s = m_model->sectionOf(name.chopped(2));
        if (s >= 0)
            return m_model->columnAt(s).label;
    }
    const int s = m_model->sectionOf(name);
    const long r = row > 0 ? row : m_table->currentIndex().row() + 1;
    if (s < 0 || r < 1 || r > m_store->rowCount())
        return {};
    return m_model->cellText(int(r - 1), s);
}

QString GridPart::currentColumn() const
{
    const QModelIndex cur = m_table->currentIndex();
    return cur.isValid() ? m_model->columnAt(cur.column()).name : QString();
}

bool GridPart::setCurrentColumn(const QString &column)
{
    const int s = m_model->sectionOf(column);
    if (s < 0)
        return false;
    const int row = qMax(0, m_table->currentIndex().row());
    if (m_store->rowCount() == 0)
        return true;
    m_table->m_settingRow = true;
    m_table->setCurrentIndex(m_model->index(row, s));
    m_table->m_settingRow = false;
    return true;
}

void GridPart::detach()
{
    m_model->detach();
}

void GridPart::attach()
{
    m_table->refused = nullptr;
    m_table->refusedReason.clear();
    m_model->attach();
    // The columns came back at the header's default width, and widths a page set hold only until
    // the definition is set again.
    applyColumnWidths();
}

QWidget *GridPart::focusTarget()
{
    return m_table;
}

void GridPart::lookupsChanged()
{
    m_table->viewport()->update();
}

bool GridPart::eventFilter(QObject *watched, QEvent *event)
{
    QHeaderView *h = m_table->horizontalHeader();
    if (watched == h->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        auto *e = static_cast<QMouseEvent *>(event);
        const QPoint at = e->position().toPoint();
        const int s = h->logicalIndexAt(at);
        const ViewObject object = s >= 0 ? ViewObject{m_model->columnAt(s).headerName(), QStringLiteral("text")} : ViewObject{};
        const QPoint pos = h->viewport()->mapTo(this, at);
        if (event->type() == QEvent::MouseButtonPress)
            emit clicked(pos, 0, object);
        else
            emit doubleClicked(pos, 0, object);
    }
    return ViewPart::eventFilter(watched, event);
}

} // namespace views::detail
