#pragma once

#include <QObject>
#include <QPoint>

namespace platform {

// One icon in the notification area.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Loads the icon from `iconFile` and shows the entry with `tip`; returns false when the image could
    // not be loaded (the entry is shown all the same, without an image).
    virtual bool add(const QString &iconFile, const QString &tip) = 0;
    virtual void remove() = 0;
    virtual bool isShown() const = 0;

signals:
    void leftClicked();
    void rightClicked(const QPoint &globalPos);
};

class Tray
{
public:
    virtual ~Tray() = default;
    // Whether the desktop offers a notification area at all.
    virtual bool available() const = 0;
    virtual TrayIcon *createIcon(QObject *parent) = 0;
};

} // namespace platform
