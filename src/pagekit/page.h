#pragma once
// What every page is: a widget that lays out its own controls from the rectangle, in layout units,
// that the main window hands it. The main window calls of_layout for every page, shown or hidden,
// each time the window changes size, so switching pages never shows stale geometry.

#include <QWidget>

namespace pagekit {

class Page : public QWidget
{
    Q_OBJECT
public:
    explicit Page(QWidget *parent = nullptr);

    // Places the page's controls in a page `w` × `h` units large.
    virtual void of_layout(int w, int h) = 0;

    // The program locks (true) or is unlocked (false). While locked no record may be visible in
    // any window: a page that opens windows of its own hides them here. The page itself is hidden
    // by the main window.
    virtual void of_lock(bool locked);

    // The program is ending (its window closes, the database is still open): what a page does once
    // at the end of every run happens here.
    virtual void of_exit();

    // The page's own rectangle in units: the one the main window gave it, or its pixels converted
    // where it stands alone (tests, tools).
    QRect unitRect() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
};

} // namespace pagekit
