#include "notebook/notetext.h"

#include "views/font.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace notetext {

QString text(const QPlainTextEdit *field)
{
    // The raw text separates lines with U+2029 and keeps every other character as it was given.
    QString raw = field->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return raw;
}

void setText(QPlainTextEdit *field, const QString &text)
{
    field->setPlainText(text);
    field->document()->setModified(false);
}

qsizetype fittingPrefix(QStringView text, qsizetype maxBytes)
{
    // Counts as gbkLength does: a surrogate pair is one character of four bytes.
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        qsizetype units = 1, size = 2;
        if (c.unicode() < 0x80)
            size = 1;
        else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            units = 2, size = 4;
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        i += units;
    }
    return i;
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QFont verdana(int pointSize)
{
    QFont f;
    f.setFamilies(QStringList{QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")} + views::songtiFamilies());
    f.setPointSize(pointSize);
    return f;
}

} // namespace notetext
