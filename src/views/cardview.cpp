#include "views/cardview.h"

#include "views/editors.h"
#include "views/format.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

namespace views::detail {

CardPart::CardPart(DataStore *store, const Lookups *lookups, QWidget *parent)
    : ViewPart(store, lookups, parent)
    , m_scroll(new QScrollArea(this))
    , m_sheet(new QWidget)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidget(m_sheet);
    m_sheet->setAccessibleName(def()->name);
    build();
    followStore();
    showRow(0);
}

void CardPart::followStore()
{
    // Values set by the page (a total computed while typing, a group set by Add) show at once.
    connect(m_store, &DataStore::itemChanged, this, [this](long row, int column) {
        if (row == m_row)
            refresh(column);
    });
}

namespace {

QFormLayout *newForm()
{
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(6);
    return form;
}

} // namespace

void CardPart::build()
{
    const Definition &d = *def();
    QList<int> placed;
    for (int i = 0; i < d.columns.size(); ++i)
        if (d.columns.at(i).card.placed())
            placed << i;
    std::stable_sort(placed.begin(), placed.end(), [&](int a, int b) {
        // Column 1, then column 2, then the rows below both: the order Tab goes through them.
        const CardSpot &x = d.columns.at(a).card, &y = d.columns.at(b).card;
        const int rx = x.column == 0 ? 3 : x.column, ry = y.column == 0 ? 3 : y.column;
        return rx != ry ? rx < ry : x.order < y.order;
    });

    auto *outer = new QVBoxLayout(m_sheet);
    outer->setContentsMargins(12, 10, 12, 10);
    auto *columns = new QHBoxLayout;
    columns->setSpacing(24);
    QFormLayout *first = newForm();
    QFormLayout *second = newForm();
    QFormLayout *below = newForm();
    columns->addLayout(first, 3);
    columns->addLayout(second, 2);
    outer->addLayout(columns);
    outer->addLayout(below);
    outer->addStretch(1);

    const QFontMetrics fm(font());
    for (int i : placed) {
        const Column &c = d.columns.at(i);
        auto *label = new QLabel(c.label.isEmpty() ? c.name : c.label, m_sheet);
        label->setObjectName(c.headerName());
        label->setAlignment(Qt::AlignRight | (c.multiLine ? Qt::AlignTop : Qt::AlignVCenter));
        QWidget *editor = createEditor(c, m_lookups->choices.value(i), false, m_sheet);
        label->setBuddy(editor);
        if (c.multiLine)
            editor->setMinimumHeight(fm.height() * (c.card.column == 0 || c.width > 1000 ? 6 : 3) + 10);
        else if (c.width > 0 && c.width <= 12 && !c.dropDown.isSet() && c.codeTable.isEmpty())
            editor->setMaximumWidth(qMax(c.width, 8) * fm.horizontalAdvance(QLatin1Char('0')) + 24);
        QFormLayout *form = c.card.column == 1 ? first : c.card.column == 2 ? second : below;
        form->addRow(label, editor);
        m_fields.append({i, label, editor, false, QString()});

        const int column = i;
        connectEdits(
            editor, this,
            [this, column](const QString &text) {
                for (Field &x : m_fields)
                    if (x.column == column)
                        x.dirty = true;
                emit edited(m_row, def()->columns.at(column).name, text);
            },
            [this, column] {
                // Leaving a field takes its value into the row; a value that does not fit stays
                // typed and is reported when the row is accepted or saved.
                for (Field &x : m_fields)
                    if (x.column == column && x.dirty)
                        commit(x, nullptr);
            },
            [this, column] {
                for (Field &x : m_fields)
                    if (x.column == column) {
                        x.dirty = true;
                        commit(x, nullptr);
                    }
            });
        label->installEventFilter(this);
        editor->installEventFilter(this);
        for (QWidget *child : editor->findChildren<QWidget *>())
            child->installEventFilter(this);
    }
    // Labels line up across the two columns and the rows below.
    int labelWidth = 0;
    for (const Field &f : m_fields)
        labelWidth = qMax(labelWidth, f.label->sizeHint().width());
    for (const Field &f : m_fields)
        if (def()->columns.at(f.column).card.column != 2)
            f.label->setMinimumWidth(labelWidth);
}

CardPart::Field *CardPart::fieldOf(QObject *widget)
{
    for (Field &f : m_fields) {
        if (widget == f.label || widget == f.editor)
            return &f;
        for (QObject *o = widget; o; o = o->parent())
            if (o == f.editor)
                return &f;
    }
    return nullptr;
}

void CardPart::refresh(int column)
{
    for (Field &f : m_fields) {
        if (column >= 0 && f.column != column)
            continue;
        // What the user is typing is not overwritten by the row it has not reached yet.
        if (column >= 0 && f.dirty && f.editor->hasFocus())
            continue;
        const Column &c = def()->columns.at(f.column);
        setEditorValue(f.editor, c, m_row > 0 ? m_store->getItem(m_row, c.name) : QVariant());
        f.shown = editorText(f.editor);
        f.dirty = false;
        f.editor->setEnabled(m_row > 0);
    }
}

void CardPart::showRow(long row)
{
    m_row = row;
    refresh(-1);
}

bool CardPart::commit(Field &f, QString *reason)
{
    // Text that reached the editor without a keystroke (pasted by a tool, written by a screen
    // reader) counts as typed: what the field shows is what is saved.
    if (!f.dirty && editorText(f.editor) != f.shown)
        f.dirty = true;
    if (m_row <= 0 || !f.dirty)
        return true;
    const Column &c = def()->columns.at(f.column);
    QVariant value;
    if (!parseEditText(c, editorText(f.editor), &value, reason))
        return false;
    f.dirty = false;
    f.shown = editorText(f.editor);
    // Only a value that differs marks the row as changed: leaving a field untouched changes nothing.
    const QVariant now = m_store->getItem(m_row, c.name);
    const bool emptyAsBefore = now.isNull() && (value.isNull() || value.toString().isEmpty());
    if (!emptyAsBefore && (now.isNull() || value.isNull() || now != value))
        m_store->setItem(m_row, c.name, value);
    return true;
}

bool CardPart::acceptText(QString *reason)
{
    for (Field &f : m_fields) {
        if (!commit(f, reason)) {
            f.editor->setFocus();
            return false;
        }
    }
    return true;
}

QRect CardPart::objectRect(const QString &name, long) const
{
    for (const Field &f : m_fields) {
        const Column &c = def()->columns.at(f.column);
        QWidget *w = nullptr;
        if (name.compare(c.headerName(), Qt::CaseInsensitive) == 0)
            w = f.label;
        else if (name.compare(c.name, Qt::CaseInsensitive) == 0)
            w = f.editor;
        if (w)
            return QRect(w->mapTo(this, QPoint(0, 0)), w->size());
    }
    return {};
}

QWidget *CardPart::fieldEditor(const QString &column) const
{
    for (const Field &f : m_fields)
        if (def()->columns.at(f.column).name.compare(column, Qt::CaseInsensitive) == 0)
            return f.editor;
    return nullptr;
}

QString CardPart::displayText(const QString &name, long) const
{
    for (const Field &f : m_fields) {
        const Column &c = def()->columns.at(f.column);
        if (name.compare(c.headerName(), Qt::CaseInsensitive) == 0)
            return f.label->text();
        if (name.compare(c.name, Qt::CaseInsensitive) != 0)
            continue;
        if (auto *combo = qobject_cast<QComboBox *>(f.editor))
            return combo->currentText();
        if (auto *choice = qobject_cast<ChoiceEditor *>(f.editor))
            return m_lookups->displayOf(f.column, choice->value());
        if (auto *line = qobject_cast<QLineEdit *>(f.editor))
            return line->displayText();
        return editorText(f.editor);
    }
    return {};
}

QString CardPart::currentColumn() const
{
    for (const Field &f : m_fields)
        if (f.editor->isAncestorOf(QApplication::focusWidget()) || f.editor == QApplication::focusWidget())
            return def()->columns.at(f.column).name;
    return m_lastColumn;
}

bool CardPart::setCurrentColumn(const QString &column)
{
    QWidget *editor = fieldEditor(column);
    if (!editor)
        return false;
    m_lastColumn = def()->columns.at(def()->columnIndex(column)).name;
    editor->setFocus();
    return true;
}

void CardPart::detach()
{
    disconnect(m_store, nullptr, this, nullptr);
    // Row 0: an editor losing the focus as the part hides writes nothing into another definition.
    m_row = 0;
}

void CardPart::attach()
{
    followStore();
    m_lastColumn.clear();
    m_scroll->ensureVisible(0, 0);
    // The drop-downs hold what the new definition's lookups hold (nothing until read), and every
    // field shows no row, as when built.
    lookupsChanged();
}

QWidget *CardPart::focusTarget()
{
    return m_fields.isEmpty() ? static_cast<QWidget *>(this) : m_fields.first().editor;
}

void CardPart::lookupsChanged()
{
    for (Field &f : m_fields) {
        auto *combo = qobject_cast<QComboBox *>(f.editor);
        if (!combo)
            continue;
        const QSignalBlocker block(combo);
        combo->clear();
        for (const CodeEntry &e : m_lookups->choices.value(f.column))
            combo->addItem(e.display, e.data);
        combo->setCurrentIndex(-1);
    }
    refresh(-1);
}

bool CardPart::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        if (Field *f = fieldOf(watched)) {
            const Column &c = def()->columns.at(f->column);
            const bool onLabel = watched == f->label;
            const ViewObject object{onLabel ? c.headerName() : c.name, onLabel ? QStringLiteral("text") : QStringLiteral("column")};
            auto *e = static_cast<QMouseEvent *>(event);
            const QPoint pos = static_cast<QWidget *>(watched)->mapTo(this, e->position().toPoint());
            if (!onLabel)
                m_lastColumn = c.name;
            if (type == QEvent::MouseButtonPress)
                emit clicked(pos, m_row, object);
            else
                emit doubleClicked(pos, m_row, object);
        }
    } else if (type == QEvent::FocusIn) {
        if (Field *f = fieldOf(watched))
            m_lastColumn = def()->columns.at(f->column).name;
    }
    return ViewPart::eventFilter(watched, event);
}

} // namespace views::detail
