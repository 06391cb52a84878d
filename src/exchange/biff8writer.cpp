// An Excel 97-2003 workbook: BIFF8 records in the "Workbook" stream of an OLE2 compound file.
// The workbook globals come first; they hold the shared string table and every sheet's offset in the
// stream, so the rows are walked twice: once to collect the strings and size the sheets, once to write.

// GLib's headers before Qt's, whose keyword macros they would otherwise meet.
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include "exchange/pendingfile.h"
#include "exchange/sheetwriters_p.h"

#include <QFile>
#include <QHash>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace exchange::detail {

namespace {

constexpr qsizetype kMaxRecordData = 8224;   // longer data continues in CONTINUE records
constexpr qsizetype kMaxRows = 65536;
constexpr qsizetype kMaxColumns = 256;
constexpr quint16 kCellXf = 15;              // the first cell format, after the 15 style formats
constexpr size_t kRowBlock = 32;             // rows whose ROW records precede their cells
// A Workbook stream shorter than this would sit in the compound file's short-sector stream, which
// not every reader accepts.
constexpr qsizetype kMinStream = 4096;
constexpr qsizetype kFlushAt = 1 << 20;

enum Record : quint16 {
    kBof = 0x0809, kEof = 0x000A, kCodepage = 0x0042, kDatemode = 0x0022, kWindow1 = 0x003D,
    kFont = 0x0031, kXf = 0x00E0, kStyle = 0x0293, kBoundsheet = 0x0085, kSst = 0x00FC,
    kContinue = 0x003C, kExtsst = 0x00FF, kDimensions = 0x0200, kRow = 0x0208, kLabelSst = 0x00FD,
    kNumber = 0x0203, kWindow2 = 0x023E,
};

// Sizes of the fixed records, header included, for sizing the sheets before writing them.
constexpr qint64 kBofSize = 4 + 16, kDimensionsSize = 4 + 14, kWindow2Size = 4 + 18, kEofSize = 4;
constexpr qint64 kRowSize = 4 + 16, kLabelSstSize = 4 + 10, kNumberSize = 4 + 14;

void put8(QByteArray &b, quint8 v)
{
    b.append(char(v));
}

void put16(QByteArray &b, quint16 v)
{
    const char bytes[2] = {char(v & 0xff), char(v >> 8)};
    b.append(bytes, 2);
}

void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v & 0xffff));
    put16(b, quint16(v >> 16));
}

void putDouble(QByteArray &b, double d)
{
    quint64 bits;
    std::memcpy(&bits, &d, sizeof bits);
    put32(b, quint32(bits & 0xffffffffu));
    put32(b, quint32(bits >> 32));
}

void header(QByteArray &b, quint16 type, qsizetype size)
{
    put16(b, type);
    put16(b, quint16(size));
}

void record(QByteArray &b, quint16 type, const QByteArray &body)
{
    header(b, type, body.size());
    b.append(body);
}

// Text whose characters all fit one byte is stored one byte a character, everything else as UTF-16.
bool needsWide(const QString &s)
{
    for (QChar c : s)
        if (c.unicode() > 0xff)
            return true;
    return false;
}

void putChars(QByteArray &b, const QString &s, qsizetype from, qsizetype count, bool wide)
{
    const QChar *p = s.constData() + from;
    for (qsizetype i = 0; i < count; ++i) {
        if (wide)
            put16(b, p[i].unicode());
        else
            put8(b, quint8(p[i].unicode()));
    }
}

// Sheet and font names: a one-byte length, the flags byte, the characters.
void putShortString(QByteArray &b, const QString &s)
{
    const bool wide = needsWide(s);
    put8(b, quint8(s.size()));
    put8(b, wide ? 1 : 0);
    putChars(b, s, 0, s.size(), wide);
}

QByteArray bof(quint16 kind)
{
    QByteArray body;
    put16(body, 0x0600);   // BIFF8
    put16(body, kind);     // 0x0005 workbook globals, 0x0010 worksheet
    put16(body, 0x0DBB);   // build
    put16(body, 0x07CC);   // year
    put32(body, 0);        // file history
    put32(body, 0x0006);   // lowest version that reads the file
    QByteArray r;
    record(r, kBof, body);
    return r;
}

// The shared string table: SST, as many CONTINUE records as its strings need, and EXTSST, whose
// buckets point at every dsst-th string by its offset in the stream. A string's header never splits;
// its characters may, never inside one character, and every CONTINUE that carries on a string starts
// with the string's flags byte again.
QByteArray sharedStrings(const QList<QString> &strings, quint32 references, qint64 streamOffset)
{
    QByteArray out;
    QByteArray body;
    quint16 type = kSst;
    put32(body, references);
    put32(body, quint32(strings.size()));

    const qsizetype perBucket = std::max<qsizetype>(8, strings.size() / 128 + 1);
    QByteArray buckets;
    put16(buckets, quint16(perBucket));

    auto startContinue = [&] {
        record(out, type, body);
        body.truncate(0);
        type = kContinue;
    };
    for (qsizetype i = 0; i < strings.size(); ++i) {
        const QString &s = strings.at(i);
        const bool wide = needsWide(s);
        const qsizetype unit = wide ? 2 : 1;
        if (body.size() + 3 + (s.isEmpty() ? 0 : unit) > kMaxRecordData)
            startContinue();
        if (i % perBucket == 0) {
            put32(buckets, quint32(streamOffset + out.size() + 4 + body.size()));
            put16(buckets, quint16(4 + body.size()));
            put16(buckets, 0);
        }
        put16(body, quint16(s.size()));
        put8(body, wide ? 1 : 0);
        for (qsizetype done = 0; done < s.size();) {
            qsizetype n = std::min((kMaxRecordData - body.size()) / unit, s.size() - done);
            // A character beyond 16 bits is two units that stay in one record: readers decode each
            // record's part of a string on its own.
            if (wide && n > 0 && done + n < s.size() && s.at(done + n - 1).isHighSurrogate())
                --n;
            if (n == 0) {
                startContinue();
                put8(body, wide ? 1 : 0);
                continue;
            }
            putChars(body, s, done, n, wide);
            done += n;
        }
    }
    record(out, type, body);
    record(out, kExtsst, buckets);
    return out;
}

struct SheetPlan
{
    SheetSpan span;
    qint64 offset = 0;    // of its BOF in the stream
    qint64 size = 0;
    quint32 usedRows = 0; // last row with a cell, plus one
    quint16 usedColumns = 0;
};

struct WorkbookPlan
{
    QList<SheetPlan> sheets;
    QList<QString> strings;         // unique texts in table order
    std::vector<quint32> textCells; // the table index of every text cell, in writing order
};

bool makePlan(const QList<QVariantList> &rows, const QString &sheetName, WorkbookPlan &plan, QString *reason)
{
    QHash<QString, quint32> index;
    for (const SheetSpan &span : planSheets(rows.size(), kMaxRows, sheetName)) {
        SheetPlan sheet{span};
        sheet.size = kBofSize + kDimensionsSize + kWindow2Size + kEofSize;
        quint32 rowInSheet = 0;
        bool ok = true;
        forEachRow(rows, span, [&](const QVariantList &row, qsizetype at) {
            if (!ok)
                return;
            if (row.size() > kMaxColumns) {
                *reason = QStringLiteral("列数超过 %1,Excel 97-2003 工作簿放不下;请改存为 xlsx 文件。").arg(kMaxColumns);
                ok = false;
                return;
            }
            qint64 cells = 0;
            for (qsizetype c = 0; c < row.size(); ++c) {
                const QVariant &v = row.at(c);
                const CellKind kind = kindOf(v);
                if (kind == CellKind::Empty)
                    continue;
                sheet.usedColumns = std::max(sheet.usedColumns, quint16(c + 1));
                if (kind == CellKind::Number) {
                    cells += kNumberSize;
                    continue;
                }
                const QString text = v.toString();
                if (text.size() > kMaxCellText) {
                    *reason = textTooLong(at, c);
                    ok = false;
                    return;
                }
                const auto found = index.constFind(text);
                quint32 i;
                if (found == index.constEnd()) {
                    i = quint32(plan.strings.size());
                    index.insert(text, i);
                    plan.strings << text;
                } else {
                    i = *found;
                }
                plan.textCells.push_back(i);
                cells += kLabelSstSize;
            }
            ++rowInSheet;
            if (cells > 0) {
                sheet.size += kRowSize + cells;
                sheet.usedRows = rowInSheet;
            }
        });
        if (!ok)
            return false;
        plan.sheets << sheet;
    }
    return true;
}

QByteArray xfRecord(bool style)
{
    QByteArray body;
    put16(body, 0);                        // font
    put16(body, 0);                        // number format: General
    put16(body, style ? 0xFFF5 : 0x0001);  // locked; a style has no parent, a cell's parent is style 0
    put8(body, 0x20);                      // aligned to the bottom
    put8(body, 0);
    put8(body, 0);
    put8(body, style ? 0xF4 : 0x00);       // attributes this format sets itself
    put32(body, 0);                        // no borders
    put32(body, 0);
    put16(body, 0x20C0);                   // automatic pattern colours
    QByteArray r;
    record(r, kXf, body);
    return r;
}

// Everything before the first sheet; fills in each sheet's offset.
QByteArray globals(WorkbookPlan &plan)
{
    QByteArray g = bof(0x0005);
    QByteArray body;
    put16(body, 1200);   // text is UTF-16
    record(g, kCodepage, body);
    body.truncate(0);
    put16(body, 0);      // dates count from 1900
    record(g, kDatemode, body);

    body.truncate(0);
    for (quint16 v : {0, 0, 0x4000, 0x2000, 0x0038, 0, 0, 1, 0x0258})
        put16(body, v);
    record(g, kWindow1, body);

    body.truncate(0);
    put16(body, 220);      // 11 points
    put16(body, 0);
    put16(body, 0x7FFF);   // automatic colour
    put16(body, 400);      // normal weight
    put16(body, 0);
    put8(body, 0);
    put8(body, 0);
    put8(body, 0x86);      // GB 2312 character set
    put8(body, 0);
    putShortString(body, QStringLiteral("宋体"));
    for (int i = 0; i < 5; ++i)   // readers skip font 4, so five records give fonts 0 to 3 and 5
        record(g, kFont, body);

    for (int i = 0; i < 15; ++i)
        g.append(xfRecord(true));
    g.append(xfRecord(false));

    body.truncate(0);
    put16(body, 0x8000);   // built-in style of format 0: "Normal"
    put8(body, 0);
    put8(body, 0xFF);
    record(g, kStyle, body);

    QList<qsizetype> offsetAt;
    for (const SheetPlan &s : plan.sheets) {
        body.truncate(0);
        put32(body, 0);
        put8(body, 0);   // visible
        put8(body, 0);   // worksheet
        putShortString(body, s.span.name);
        offsetAt << g.size() + 4;
        record(g, kBoundsheet, body);
    }

    g.append(sharedStrings(plan.strings, quint32(plan.textCells.size()), g.size()));
    record(g, kEof, {});

    qint64 offset = g.size();
    for (qsizetype i = 0; i < plan.sheets.size(); ++i) {
        plan.sheets[i].offset = offset;
        const quint32 o = quint32(offset);
        for (int k = 0; k < 4; ++k)
            g[offsetAt.at(i) + k] = char((o >> (8 * k)) & 0xff);
        offset += plan.sheets.at(i).size;
    }
    return g;
}

// Buffers records and hands them to the compound file's stream in large pieces.
class StreamSink
{
public:
    explicit StreamSink(GsfOutput *out) : m_out(out) { m_buffer.reserve(kFlushAt + 2 * kMaxRecordData); }
    QByteArray &buffer() { return m_buffer; }
    qint64 position() const { return m_written + m_buffer.size(); }
    bool ok() const { return m_ok; }
    void maybeFlush()
    {
        if (m_buffer.size() >= kFlushAt)
            flush();
    }
    bool flush()
    {
        if (m_ok && !m_buffer.isEmpty())
            m_ok = gsf_output_write(m_out, size_t(m_buffer.size()), reinterpret_cast<const guint8 *>(m_buffer.constData()));
        m_written += m_buffer.size();
        m_buffer.truncate(0);
        return m_ok;
    }

private:
    GsfOutput *m_out;
    QByteArray m_buffer;
    qint64 m_written = 0;
    bool m_ok = true;
};

void writeRowRecord(QByteArray &b, quint16 row, quint16 first, quint16 last)
{
    header(b, kRow, 16);
    put16(b, row);
    put16(b, first);
    put16(b, quint16(last + 1));
    put16(b, 0x00FF);        // default height
    put16(b, 0);
    put16(b, 0);
    put32(b, 0x000F0100);    // cell format 15 for the row, no other flags
}

void writeCells(QByteArray &b, quint16 row, const QVariantList &values, const std::vector<quint32> &textCells,
                size_t &nextText)
{
    for (qsizetype c = 0; c < values.size(); ++c) {
        const QVariant &v = values.at(c);
        switch (kindOf(v)) {
        case CellKind::Empty:
            break;
        case CellKind::Number:
            header(b, kNumber, 14);
            put16(b, row);
            put16(b, quint16(c));
            put16(b, kCellXf);
            putDouble(b, v.toDouble());
            break;
        case CellKind::Text:
            header(b, kLabelSst, 10);
            put16(b, row);
            put16(b, quint16(c));
            put16(b, kCellXf);
            put32(b, textCells.at(nextText++));
            break;
        }
    }
}

void writeSheet(StreamSink &out, const QList<QVariantList> &rows, const SheetPlan &sheet, bool active,
                const std::vector<quint32> &textCells, size_t &nextText)
{
    QByteArray &b = out.buffer();
    b.append(bof(0x0010));
    header(b, kDimensions, 14);
    put32(b, 0);
    put32(b, sheet.usedRows);
    put16(b, 0);
    put16(b, sheet.usedColumns);
    put16(b, 0);

    std::vector<const QVariantList *> sheetRows;
    sheetRows.reserve(size_t(sheet.span.count + 1));
    forEachRow(rows, sheet.span, [&](const QVariantList &row, qsizetype) { sheetRows.push_back(&row); });

    for (size_t start = 0; start < sheetRows.size(); start += kRowBlock) {
        const size_t end = std::min(sheetRows.size(), start + kRowBlock);
        for (size_t r = start; r < end; ++r) {
            const QVariantList &values = *sheetRows[r];
            qsizetype first = -1, last = -1;
            for (qsizetype c = 0; c < values.size(); ++c) {
                if (kindOf(values.at(c)) == CellKind::Empty)
                    continue;
                if (first < 0)
                    first = c;
                last = c;
            }
            if (first >= 0)
                writeRowRecord(b, quint16(r), quint16(first), quint16(last));
        }
        for (size_t r = start; r < end; ++r)
            writeCells(b, quint16(r), *sheetRows[r], textCells, nextText);
        out.maybeFlush();
    }

    header(b, kWindow2, 18);
    put16(b, active ? 0x06B6 : 0x00B6);   // grid, headers, zeros, outline; the active one selected
    put16(b, 0);
    put16(b, 0);
    put16(b, 0x40);   // automatic grid colour
    put16(b, 0);
    put16(b, 0);
    put16(b, 0);
    put32(b, 0);
    header(b, kEof, 0);
}

QString errorOf(GsfOutput *out)
{
    const GError *e = out ? gsf_output_error(out) : nullptr;
    return e && e->message ? QString::fromUtf8(e->message) : QString();
}

// The class of an Excel 97-2003 workbook, in the byte order of the compound file.
const guint8 kWorkbookClass[16] = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

} // namespace

bool writeXls(const QString &file, const QList<QVariantList> &rows, const QString &sheetName, QString *reason)
{
    WorkbookPlan plan;
    if (!makePlan(rows, sheetName, plan, reason))
        return false;
    const QByteArray head = globals(plan);

    static std::once_flag initialised;
    std::call_once(initialised, [] { gsf_init(); });

    const QByteArray name = QFile::encodeName(file);
    errno = 0;
    FILE *f = std::fopen(name.constData(), "wb");
    if (!f) {
        *reason = withSystemText(QStringLiteral("无法写入文件 %1").arg(nativePath(file)), qt_error_string(errno));
        return false;
    }
    GsfOutput *sink = gsf_output_stdio_new_FILE(name.constData(), f, TRUE);
    GsfOutfile *ole = gsf_outfile_msole_new(sink);
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole), kWorkbookClass);
    GsfOutput *stream = gsf_outfile_new_child(ole, "Workbook", FALSE);

    bool ok = stream != nullptr;
    bool consistent = true;
    if (ok) {
        StreamSink out(stream);
        out.buffer().append(head);
        size_t nextText = 0;
        for (qsizetype i = 0; i < plan.sheets.size() && out.ok(); ++i) {
            const SheetPlan &sheet = plan.sheets.at(i);
            consistent = consistent && out.position() == sheet.offset;
            writeSheet(out, rows, sheet, i == 0, plan.textCells, nextText);
        }
        consistent = consistent && out.position() == (plan.sheets.last().offset + plan.sheets.last().size);
        if (out.position() < kMinStream)
            out.buffer().append(QByteArray(kMinStream - out.position(), '\0'));
        ok = out.flush();
    }
    QString systemText;
    for (GsfOutput *o : {stream, GSF_OUTPUT(ole), sink})
        if (systemText.isEmpty())
            systemText = errorOf(o);
    if (stream) {
        ok = gsf_output_close(stream) && ok;
        g_object_unref(stream);
    }
    ok = gsf_output_close(GSF_OUTPUT(ole)) && ok;
    if (systemText.isEmpty())
        systemText = errorOf(GSF_OUTPUT(ole));
    g_object_unref(ole);
    // The compound file closes its sink itself.
    if (!gsf_output_is_closed(sink))
        ok = gsf_output_close(sink) && ok;
    if (systemText.isEmpty())
        systemText = errorOf(sink);
    g_object_unref(sink);
    const int flushError = std::fflush(f) == 0 && !std::ferror(f) ? 0 : errno;
    const bool closed = std::fclose(f) == 0;
    if (systemText.isEmpty() && (flushError || !closed))
        systemText = qt_error_string(flushError ? flushError : errno);
    ok = ok && flushError == 0 && closed;

    if (!consistent) {
        *reason = QStringLiteral("内部错误: 工作表的大小与预计的不符,文件没有保存。");
        return false;
    }
    if (!ok) {
        *reason = withSystemText(QStringLiteral("写入 Excel 文件失败"), systemText.isEmpty() ? qt_error_string(errno) : systemText);
        return false;
    }
    return true;
}

} // namespace exchange::detail
