#pragma once
// The field editors a grid cell and a card share: a line limited to the column's width with its
// mask, a drop-down list, a choice of code-table words, a spin box, a multi-line text.

#include "views/definition.h"

#include <QList>
#include <QPlainTextEdit>
#include <QVariant>
#include <QWidget>
#include <functional>

class QButtonGroup;

namespace views::detail {

// A plain text editor that refuses text beyond its limit, as a line edit does.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    LimitedTextEdit(int limit, QWidget *parent = nullptr);
    int limit() const { return m_limit; }
    void setText(const QString &text);   // a row's value, which may be longer than the limit

signals:
    void editingFinished();

protected:
    void focusOutEvent(QFocusEvent *e) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void enforceLimit();
    int m_limit;
    QString m_lastGood;
};

// Radio buttons for a code table ("男" stores "1"); the container carries the field's name.
class ChoiceEditor : public QWidget
{
    Q_OBJECT
public:
    ChoiceEditor(const QList<CodeEntry> &codes, QWidget *parent = nullptr);
    QString value() const;               // the data of the checked word, "" when none
    void setValue(const QString &data);  // an unknown value checks nothing
    QList<QWidget *> buttons() const;

signals:
    void changed();

private:
    QList<CodeEntry> m_codes;
    QButtonGroup *m_group;
};

// The editor for a column. `choices` are the entries of a drop-down or code table.
QWidget *createEditor(const Column &column, const QList<CodeEntry> &choices, bool inGrid, QWidget *parent);
// Shows a stored value.
void setEditorValue(QWidget *editor, const Column &column, const QVariant &value);
// What the editor holds, as text to parse into the column (a drop-down's data value).
QString editorText(QWidget *editor);
// The signal that tells the text is being typed/changed, for the edit-changed event.
void connectEdits(QWidget *editor, QObject *receiver, std::function<void(const QString &)> onEdit,
                  std::function<void()> onFinished, std::function<void()> onPicked);

} // namespace views::detail
