#include "shell/helpbrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>

HelpBrowser::HelpBrowser(QWidget *parent)
    : QWidget(parent)
{
}

void HelpBrowser::makeBrowser()
{
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setAccessibleName(accessibleName());
    m_browser->setOpenLinks(false);
    m_browser->setGeometry(rect());
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
    setFocusProxy(m_browser);
    m_browser->show();
}

void HelpBrowser::setPage(const QString &file)
{
    m_page = file;
    m_loaded = false;
    if (isVisible())
        load();
}

void HelpBrowser::clear()
{
    if (m_browser)
        m_browser->setSource(QUrl());
}

void HelpBrowser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_browser)
        makeBrowser();
    load();
}

void HelpBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_browser)
        m_browser->setGeometry(rect());
}

void HelpBrowser::load()
{
    if (m_loaded || m_page.isEmpty() || !m_browser)
        return;
    m_loaded = true;
    m_browser->setSource(QUrl::fromLocalFile(m_page));
}

QString HelpBrowser::reportOf(const QUrl &url) const
{
    if (url.hasFragment() || url.hasQuery())
        return {};
    // The browser hands over links resolved against the page: a bare word becomes a file of that
    // name beside the page.
    QString word;
    const QUrl source = m_browser->source();
    if (url.isRelative()) {
        word = url.path();
    } else if (url.isLocalFile() && source.isLocalFile()) {
        const QFileInfo target(url.toLocalFile());
        if (target.dir() == QFileInfo(source.toLocalFile()).dir())
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
    const QUrl target = m_browser->source().resolved(url);
    // Only the help's own files and anchors; the browser is no way out to other places.
    if (target.isLocalFile() && QFileInfo(target.toLocalFile()).isFile())
        m_browser->setSource(target);
}
