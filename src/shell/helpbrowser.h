#pragma once

#include <QWidget>

class QTextBrowser;

// The help: a browser made, and its page read, when the help is first shown; most runs never open
// it, and start-up need not make or lay it out. Links within the help move inside it; a link whose
// target is a bare word (no file, no address) is the page reporting that word to the window, as
// "help" does to close it.
class HelpBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr);
    // The page to show, read when the help is shown.
    void setPage(const QString &file);
    QString page() const { return m_page; }
    // The browser: null until the help was first shown.
    QTextBrowser *browser() const { return m_browser; }
    // Lets go of the page shown (the window closes).
    void clear();

signals:
    void reported(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void makeBrowser();
    void load();
    void followLink(const QUrl &url);
    // The word a link reports, or an empty string for a link that leads somewhere.
    QString reportOf(const QUrl &url) const;

    QTextBrowser *m_browser = nullptr;
    QString m_page;
    bool m_loaded = false;
};
