#pragma once
// The row of a page's action buttons, right-aligned along the page's top edge, in layout units. The
// buttons stay children of the page (no container widget, so the accessibility tree is the page's
// own); they stand left to right in the order they were added, which is also their focus order.

#include <QList>
#include <QObject>
#include <QPushButton>
#include <QString>

namespace pagekit {

class ButtonRow
{
public:
    static constexpr int Top = 10, Width = 320, Height = 88, Gap = 30, Margin = 20;
    // Where a page's content begins, below the row.
    static constexpr int ContentTop = 110;

    explicit ButtonRow(QWidget *page);
    ButtonRow(const ButtonRow &) = delete;
    ButtonRow &operator=(const ButtonRow &) = delete;

    // makeButton() with the caption and object name, its clicks going to `slot` of `receiver`.
    template <class Receiver, class Slot>
    QPushButton *add(const QString &caption, const QString &objectName, Receiver *receiver, Slot slot)
    {
        QPushButton *button = add(caption, objectName);
        QObject::connect(button, &QPushButton::clicked, receiver, slot);
        return button;
    }
    QPushButton *add(const QString &caption, const QString &objectName);

    // Places the buttons for a page `pageWidth` units wide.
    void place(int pageWidth) const;

    const QList<QPushButton *> &buttons() const { return m_buttons; }

private:
    QWidget *m_page;
    QList<QPushButton *> m_buttons;
};

} // namespace pagekit
