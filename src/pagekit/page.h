#pragma once
// What every page is: a widget that lays out its own controls from the rectangle, in layout units,
// that the main window hands it. The main window calls of_layout for every page, shown or hidden,
// each time the window changes size, so switching pages never shows stale geometry.
//
// A page may be created light: made while a Page::Deferred lives, it builds its controls only when
// it is first shown (or asked to with of_fill). Until then it does at creation only what must happen
// at start (of_prepare: what a box at opening or the lock needs), lays out nothing and locks nothing;
// once filled it is laid out at the rectangle it was last given.

#include <QWidget>

class Connection;

namespace pagekit {

class Page : public QWidget
{
    Q_OBJECT
public:
    // `db` is the program's connection to its database: the page reads and writes through it.
    explicit Page(Connection &db, QWidget *parent = nullptr);

    Connection &db() const { return m_db; }

    // While one lives, pages created are light: filled when first shown. Start-up builds the pages
    // that are not on screen this way, so the first frame waits only for what it shows.
    class Deferred
    {
    public:
        Deferred();
        ~Deferred();
        Deferred(const Deferred &) = delete;
        Deferred &operator=(const Deferred &) = delete;
    };

    bool isFilled() const { return m_filled; }
    // Builds a light page's controls now and lays them out; a filled page is left as it is.
    void of_fill();

    // Places the page's controls in a page `w` × `h` units large (nothing yet on a light page).
    void of_layout(int w, int h);

    // The program locks (true) or is unlocked (false). While locked no record may be visible in
    // any window: a page that opens windows of its own hides them in of_lockcontrols. The page
    // itself is hidden by the main window. A light page has no windows to hide.
    void of_lock(bool locked);

    // The program is ending (its window closes, the database is still open): what a page does once
    // at the end of every run happens here, filled or not.
    virtual void of_exit();

    // The page's own rectangle in units: the one the main window gave it, or its pixels converted
    // where it stands alone (tests, tools).
    QRect unitRect() const;

    void setVisible(bool visible) override;

signals:
    // The page has just built its controls (at creation, or first shown when created light).
    void filled();

protected:
    // The last line of every page's constructor: builds the page now, or, while pages are deferred,
    // runs of_prepare and leaves the building to the first show.
    void created();

    // Builds the controls and their contents: the page's creation.
    virtual void of_build() = 0;
    // What a page created light still does at creation.
    virtual void of_prepare();
    // Places the controls of a filled page.
    virtual void of_arrange(int w, int h) = 0;
    // Hides or shows again the windows of a filled page's own.
    virtual void of_lockcontrols(bool locked);

    void resizeEvent(QResizeEvent *event) override;

private:
    void build();

    Connection &m_db;
    bool m_filled = false;
    bool m_building = false;
};

} // namespace pagekit
