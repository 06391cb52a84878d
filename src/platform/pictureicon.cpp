#include "platform/pictureicon.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>

namespace platform {

namespace {

class PictureEngine : public QIconEngine
{
public:
    explicit PictureEngine(const QString &file)
        : m_file(file)
    {
        // The sizes come from the file's directory; nothing is decoded here.
        QImageReader reader(file);
        if (!reader.canRead())
            return;
        do {
            const QSize size = reader.size();
            if (size.isValid())
                m_sizes << size;
            else
                break;
        } while (reader.jumpToNextImage());
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        if (m_sizes.isEmpty() || size.isEmpty())
            return {};
        const auto drawn = m_drawn.constFind(key(size));
        if (drawn != m_drawn.cend())
            return *drawn;
        const qsizetype index = pictureFor(size);
        auto decoded = m_decoded.find(index);
        if (decoded == m_decoded.end()) {
            QImageReader reader(m_file);
            reader.jumpToImage(int(index));
            decoded = m_decoded.insert(index, reader.read());
        }
        QImage image = *decoded;
        // Never larger than asked for, as any icon.
        if (!image.isNull() && (image.width() > size.width() || image.height() > size.height()))
            image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPixmap result = QPixmap::fromImage(image);
        m_drawn.insert(key(size), result);
        return result;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        if (m_sizes.isEmpty())
            return {};
        const QSize picture = m_sizes.at(pictureFor(size));
        return picture.width() > size.width() || picture.height() > size.height()
            ? picture.scaled(size, Qt::KeepAspectRatio) : picture;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap shown = pixmap(rect.size() * ratio, mode, state);
        shown.setDevicePixelRatio(ratio);
        const QSize logical = shown.deviceIndependentSize().toSize();
        painter->drawPixmap(QRect(rect.center() - QPoint(logical.width() / 2, logical.height() / 2), logical), shown);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return m_sizes; }
    bool isNull() override { return m_sizes.isEmpty(); }
    QString key() const override { return QStringLiteral("MivoPicture"); }
    QIconEngine *clone() const override { return new PictureEngine(*this); }

private:
    static quint64 key(const QSize &size) { return (quint64(quint32(size.width())) << 32) | quint32(size.height()); }

    // The smallest picture at least `size` large, else the largest.
    qsizetype pictureFor(const QSize &size) const
    {
        qsizetype best = -1, largest = 0;
        for (qsizetype i = 0; i < m_sizes.size(); ++i) {
            const QSize s = m_sizes.at(i);
            if (s.width() * s.height() > m_sizes.at(largest).width() * m_sizes.at(largest).height())
                largest = i;
            if (s.width() >= size.width() && s.height() >= size.height()
                && (best < 0 || s.width() * s.height() < m_sizes.at(best).width() * m_sizes.at(best).height()))
                best = i;
        }
        return best >= 0 ? best : largest;
    }

    QString m_file;
    QList<QSize> m_sizes;
    QHash<qsizetype, QImage> m_decoded;
    QHash<quint64, QPixmap> m_drawn;
};

} // namespace

QIcon pictureIcon(const QString &file)
{
    // Let go of with the application: pixmaps do not outlive it.
    static QHash<QString, QIcon> *icons = nullptr;
    if (!icons) {
        icons = new QHash<QString, QIcon>;
        qAddPostRoutine([] {
            delete icons;
            icons = nullptr;
        });
    }
    // A file replaced meanwhile is another picture.
    const QFileInfo info(file);
    const QString key = info.absoluteFilePath() + QLatin1Char('\n') + QString::number(info.size()) + QLatin1Char('\n')
        + QString::number(info.lastModified().toMSecsSinceEpoch());
    auto it = icons->find(key);
    if (it == icons->end()) {
        auto *engine = new PictureEngine(file);
        if (engine->isNull()) {
            delete engine;
            it = icons->insert(key, QIcon());
        } else {
            it = icons->insert(key, QIcon(engine));
        }
    }
    return *it;
}

} // namespace platform
