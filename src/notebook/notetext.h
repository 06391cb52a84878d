#pragma once
// What the notebook's text fields share: a note's limit in GBK bytes, the text of a field exactly as
// it holds it, the leading piece of a text that fits a note, and trimming blanks (U+0020 only).

#include <QString>
#include <QStringView>

class QFont;
class QPlainTextEdit;

namespace notetext {

// The most a note's text may take, in GBK bytes.
constexpr qsizetype kMaxBytes = 32767;

// The field's text character for character: line breaks as "\n", and nothing else changed (the
// toolkit's plain text would turn a no-break space into a blank).
QString text(const QPlainTextEdit *field);
// Replaces the field's text and marks it unmodified.
void setText(QPlainTextEdit *field, const QString &text);

// How many characters (UTF-16 units) from the front of `text` fit into `maxBytes` GBK bytes. A
// character that would cross the limit is left out whole, so a piece never ends in half of one.
qsizetype fittingPrefix(QStringView text, qsizetype maxBytes = kMaxBytes);

// `text` without its leading and trailing blanks (U+0020; tabs and line breaks stay).
QString trimBlanks(const QString &text);

// "Verdana" where installed, a CJK font for the Chinese of the captions otherwise.
QFont verdana(int pointSize = 9);

} // namespace notetext
