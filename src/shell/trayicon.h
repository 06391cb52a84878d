#pragma once

#include <QObject>
#include <QString>

class MainWindow;
namespace platform {
class TrayIcon;
}

// The program's one icon in the notification area. Its clicks arrive at the main window's
// trayMessage(), the window given when the icon was added.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    // What fits in the tip: 63 characters and the terminating zero of the notification record.
    static constexpr int TipLength = 63;

    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // Adds the icon from `iconFile` with `tip` (cut to TipLength); its clicks go to `window`. An image
    // that cannot be loaded shows "004"; the entry is added all the same.
    void add(const QString &iconFile, MainWindow *window, const QString &tip);
    // Removes the icon; once added, once removed.
    void remove();

    bool isAdded() const { return m_added; }
    QString tip() const { return m_tip; }

    // `tips` cut to what fits, never splitting a character in two.
    static QString cutTip(const QString &tips);

private:
    platform::TrayIcon *m_icon = nullptr;
    bool m_added = false;
    QString m_tip;
};
