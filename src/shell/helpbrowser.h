#pragma once

#include <QTextBrowser>

// The help browser. Links within the help move inside it; a link whose target is a bare word (no
// file, no address) is the page reporting that word to the window, as "help" does to close it.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr);
    // The page to show. It is read when the browser is first shown: most runs never open the help,
    // and start-up need not lay it out.
    void setPage(const QString &file);
    QString page() const { return m_page; }

signals:
    void reported(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void followLink(const QUrl &url);
    // The word a link reports, or an empty string for a link that leads somewhere.
    QString reportOf(const QUrl &url) const;

    QString m_page;
    bool m_loaded = false;
};
