// mivo_art SOURCE.svg OUTPUT SIZE[,SIZE...]: renders a picture of the program from its SVG source.
//   OUTPUT.ico  one image per size, in the order given (readers that take one image take the first);
//   OUTPUT.bmp  the first size; the transparent parts in the mask colour #FF00FF, edges blended
//               onto white, the background the program's lists are drawn on.
//   OUTPUT.gif  the first size; one colour index transparent, edges blended onto the light grey
//               of a button face (the pictures of buttons).
//   OUTPUT.png  the first size, with its alpha (the icons a desktop's menu shows).
// Folders of OUTPUT are created as needed.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <cstdio>
#include <vector>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "mivo_art: %s\n", qPrintable(message));
    return 1;
}

QImage render(QSvgRenderer &svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// A bitmap has no alpha: nearly transparent pixels become the mask colour, the rest are laid on white.
QImage toMaskedBitmap(const QImage &image)
{
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int a = qAlpha(p);
            if (a < 64) {
                out.setPixel(x, y, qRgb(255, 0, 255));
                continue;
            }
            const auto blend = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
            int r = blend(qRed(p)), g = blend(qGreen(p)), b = blend(qBlue(p));
            // Never the mask colour by accident.
            if (r == 255 && g == 0 && b == 255)
                g = 1;
            out.setPixel(x, y, qRgb(r, g, b));
        }
    return out;
}

// A GIF holds at most 256 colours, one of them (index 0 here) transparent. Antialiased edges are laid
// on the button face; where a picture has more colours, the lowest bits of each channel are dropped
// until it fits.
QByteArray toGif(const QImage &image)
{
    const QRgb face = qRgb(240, 240, 240);
    std::vector<int> pixels(size_t(image.width() * image.height()), -1);
    QList<QRgb> colours;
    for (int drop = 0; drop < 8; ++drop) {
        const int keep = 0xff & ~((1 << drop) - 1);
        colours.clear();
        QHash<QRgb, int> index;
        bool fits = true;
        for (int y = 0; y < image.height() && fits; ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                const int a = qAlpha(p);
                int &out = pixels[size_t(y * image.width() + x)];
                if (a < 128) {
                    out = 0;
                    continue;
                }
                const auto blend = [a, keep](int c, int f) { return ((c * a + f * (255 - a)) / 255) & keep; };
                const QRgb c = qRgb(blend(qRed(p), qRed(face)), blend(qGreen(p), qGreen(face)), blend(qBlue(p), qBlue(face)));
                auto it = index.find(c);
                if (it == index.end()) {
                    if (colours.size() == 255) {
                        fits = false;
                        break;
                    }
                    colours << c;
                    it = index.insert(c, int(colours.size()));
                }
                out = it.value();
            }
        if (fits)
            break;
    }

    QByteArray gif("GIF89a");
    const auto word = [&gif](int v) {
        gif += char(v & 0xff);
        gif += char((v >> 8) & 0xff);
    };
    word(image.width());
    word(image.height());
    gif += char(0xf7);   // a global table of 256 colours
    gif += char(0);      // background index
    gif += char(0);      // no aspect ratio
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i == 0 ? face : i <= colours.size() ? colours.at(i - 1) : qRgb(0, 0, 0);
        gif += char(qRed(c));
        gif += char(qGreen(c));
        gif += char(qBlue(c));
    }
    // Graphic control: index 0 is transparent.
    gif += QByteArray("\x21\xf9\x04\x01\x00\x00\x00\x00", 8);
    gif += char(0x2c);
    word(0);
    word(0);
    word(image.width());
    word(image.height());
    gif += char(0);

    // Every pixel as its own 9-bit code, with a clear code often enough that the decoder's table
    // never needs a wider code: valid for every reader, and small pictures need no compression.
    const int clear = 256, end = 257;
    QByteArray codes;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= quint32(code) << count;
        count += 9;
        while (count >= 8) {
            codes += char(bits & 0xff);
            bits >>= 8;
            count -= 8;
        }
    };
    put(clear);
    int sinceClear = 0;
    for (int p : pixels) {
        if (sinceClear == 253) {
            put(clear);
            sinceClear = 0;
        }
        put(p);
        ++sinceClear;
    }
    put(end);
    if (count > 0)
        codes += char(bits & 0xff);
    gif += char(8);   // the smallest code size for 256 colours
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif += char(block.size());
        gif += block;
    }
    gif += char(0);
    gif += char(0x3b);
    return gif;
}

// One single-image icon file as Qt writes it: the directory entry and the image data.
struct IconImage
{
    QByteArray entry; // 16 bytes
    QByteArray data;
};

bool writeSingleIcon(const QImage &image, IconImage *out)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        return false;
    const QByteArray bytes = buffer.data();
    if (bytes.size() < 22 || qFromLittleEndian<quint16>(bytes.constData() + 4) != 1)
        return false;
    out->entry = bytes.mid(6, 16);
    const quint32 size = qFromLittleEndian<quint32>(out->entry.constData() + 8);
    const quint32 offset = qFromLittleEndian<quint32>(out->entry.constData() + 12);
    if (qsizetype(offset) + qsizetype(size) > bytes.size())
        return false;
    out->data = bytes.mid(offset, size);
    return true;
}

// Qt's writer makes one image per file; the directory of several is plain to assemble.
QByteArray multiIcon(const QList<IconImage> &images)
{
    QByteArray file(6, '\0');
    qToLittleEndian<quint16>(1, file.data() + 2);
    qToLittleEndian<quint16>(quint16(images.size()), file.data() + 4);
    quint32 offset = quint32(6 + 16 * images.size());
    QByteArray data;
    for (const IconImage &image : images) {
        QByteArray entry = image.entry;
        qToLittleEndian<quint32>(offset, entry.data() + 12);
        file += entry;
        data += image.data;
        offset += quint32(image.data.size());
    }
    return file + data;
}

bool save(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    // The tool reports its own failures; the platform's chatter about the environment is not wanted.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "mivo_art: %s\n", qPrintable(message));
    });
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return fail(QStringLiteral("usage: mivo_art SOURCE.svg OUTPUT SIZE[,SIZE...]"));
    const QString source = args.at(1);
    const QString output = args.at(2);
    QList<int> sizes;
    for (const QString &s : args.at(3).split(QLatin1Char(','))) {
        bool ok = false;
        const int n = s.toInt(&ok);
        if (!ok || n < 1 || n > 256)
            return fail(QStringLiteral("bad size %1").arg(s));
        sizes << n;
    }
    QSvgRenderer svg(source);
    if (!svg.isValid())
        return fail(QStringLiteral("%1: not a valid SVG").arg(source));
    if (!QDir().mkpath(QFileInfo(output).absolutePath()))
        return fail(QStringLiteral("cannot make the folder of %1").arg(output));

    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix == QLatin1String("bmp")) {
        if (!toMaskedBitmap(render(svg, sizes.first())).save(output, "BMP"))
            return fail(QStringLiteral("cannot write %1").arg(output));
        return 0;
    }
    if (suffix == QLatin1String("png")) {
        if (!render(svg, sizes.first()).save(output, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(output));
        return 0;
    }
    if (suffix == QLatin1String("gif")) {
        if (!save(output, toGif(render(svg, sizes.first()))))
            return fail(QStringLiteral("cannot write %1").arg(output));
        return 0;
    }
    if (suffix == QLatin1String("ico")) {
        QList<IconImage> images;
        for (int size : sizes) {
            IconImage image;
            if (!writeSingleIcon(render(svg, size), &image))
                return fail(QStringLiteral("cannot encode %1 at %2 pixels").arg(output).arg(size));
            images << image;
        }
        if (!save(output, multiIcon(images)))
            return fail(QStringLiteral("cannot write %1").arg(output));
        return 0;
    }
    return fail(QStringLiteral("%1: only .ico, .bmp, .gif and .png are made").arg(output));
}
