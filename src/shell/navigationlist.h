#pragma once

#include <QListWidget>

// The navigation list: large icons, one column. Choosing an item (a left click on it, or Up/Down
// from the selected item) acts at once through chosen(). Items count from 1.
class NavigationList : public QListWidget
{
    Q_OBJECT
public:
    explicit NavigationList(QWidget *parent = nullptr);

    // The selected item's index from 1, or 0 when none is selected.
    int selectedIndex() const;
    // Selects item `index` and reports it as if it had been clicked.
    void choose(int index);

    // While on, the selected item is drawn like any other whenever the list lacks the focus.
    void setHideSelection(bool on);
    bool hideSelection() const { return m_hideSelection; }

signals:
    void chosen(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_hideSelection = false;
};
