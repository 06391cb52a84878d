#pragma once
// The free-form card: each field with its label to its left, in the definition's two columns and
// the full-width rows below them. It shows and edits the current row.

#include "views/viewpart.h"

#include <QHash>

class QLabel;
class QScrollArea;

namespace views::detail {

class CardPart : public ViewPart
{
    Q_OBJECT
public:
    CardPart(DataStore *store, const Lookups *lookups, QWidget *parent);

    void showRow(long row) override;
    void bringIntoView(long) override {}
    bool acceptText(QString *reason) override;
    QRect objectRect(const QString &name, long row) const override;
    QWidget *fieldEditor(const QString &column) const override;
    QString displayText(const QString &name, long row) const override;
    QString currentColumn() const override;
    bool setCurrentColumn(const QString &column) override;
    void lookupsChanged() override;
    QWidget *focusTarget() override;
    void detach() override;
    void attach() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Field
    {
        int column;           // index in the definition
        QLabel *label;
        QWidget *editor;
        bool dirty = false;   // typed into since it last showed the row
        QString shown;        // the editor's text when it last showed the row
    };
    void build();
    void followStore();
    void refresh(int column);                         // -1: every field
    bool commit(Field &f, QString *reason);
    Field *fieldOf(QObject *widget);

    QScrollArea *m_scroll;
    QWidget *m_sheet;
    QList<Field> m_fields;
    long m_row = 0;
    QString m_lastColumn;
};

} // namespace views::detail
