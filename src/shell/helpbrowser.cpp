#include "shell/helpbrowser.h"

#include <QDir>
#include <QFileInfo>

HelpBrowser::HelpBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

void HelpBrowser::setPage(const QString &file)
{
    m_page = file;
    m_loaded = false;
    if (isVisible())
        showEvent(nullptr);
}

void HelpBrowser::showEvent(QShowEvent *event)
{
    if (event)
        QTextBrowser::showEvent(event);
    if (m_loaded || m_page.isEmpty())
        return;
    m_loaded = true;
    setSource(QUrl::fromLocalFile(m_page));
}

QString HelpBrowser::reportOf(const QUrl &url) const
{
    if (url.hasFragment() || url.hasQuery())
        return {};
    // The browser hands over links resolved against the page: a bare word becomes a file of that
    // name beside the page.
    QString word;
    if (url.isRelative()) {
        word = url.path();
    } else if (url.isLocalFile() && source().isLocalFile()) {
        const QFileInfo target(url.toLocalFile());
        if (target.dir() == QFileInfo(source().toLocalFile()).dir())
            word = target.fileName();
    }
    if (word.isEmpty() || word.contains(QLatin1Char('/')) || word.contains(QLatin1Char('.')))
        return {};
    return word;
}

void HelpBrowser::followLink(const QUrl &url)
{
    const QString word = reportOf(url);
    if (!word.isEmpty()) {
        emit reported(word);
        return;
    }
    const QUrl target = source().resolved(url);
    // Only the help's own files and anchors; the browser is no way out to other places.
    if (target.isLocalFile() && QFileInfo(target.toLocalFile()).isFile())
        setSource(target);
}
