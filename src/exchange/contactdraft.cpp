#include "exchange/contactdraft.h"

namespace exchange {

namespace {

constexpr int kRemarksWidth = 200;

void appendLine(QString &to, const QString &line)
{
    if (!to.isEmpty())
        to += QLatin1Char('\n');
    to += line;
}

} // namespace

void ContactDraft::addExtra(const QString &label, const QString &text)
{
    m_extras.append({label, text, false, 0, false});
}

Contact ContactDraft::finish(int line, QList<ImportNote> *warnings)
{
    // Too-long values first, in the columns' order, then the texts without a column.
    QList<Extra> moved;
    for (const ContactField &f : contactFields()) {
        QString &value = contact.*f.member;
        if (f.width == 0 || f.member == &Contact::groupCode || f.member == &Contact::remarks
            || characterCount(value) <= f.width)
            continue;
        moved.append({f.label, value, true, f.width, false});
        // The name is the key and cannot be left empty: it keeps what fits.
        value = f.member == &Contact::name ? leftCharacters(value, f.width) : QString();
    }
    moved += m_extras;

    QString remarks = contact.remarks;
    if (characterCount(remarks) > kRemarksWidth) {
        moved.prepend({QStringLiteral("备注"), remarks, true, kRemarksWidth, true});
        remarks.clear();
    }
    for (const Extra &e : std::as_const(moved)) {
        // 备注 itself overflowing goes to 交往记录 whole, without a label of its own.
        const QString piece = e.bare ? e.text : e.label + QStringLiteral(": ") + e.text;
        QString candidate = remarks;
        appendLine(candidate, piece);
        const bool fits = !e.bare && characterCount(candidate) <= kRemarksWidth;
        if (fits)
            remarks = candidate;
        else
            appendLine(contact.history, piece);
        if (!warnings || (!e.tooLong && fits))
            continue;
        const QString where = fits ? QStringLiteral("备注") : QStringLiteral("交往记录");
        const QString text = e.tooLong
            ? QStringLiteral("%1超过 %2 个字,全文移入%3。").arg(e.label).arg(e.width).arg(where)
            : QStringLiteral("备注已满,%1移入交往记录。").arg(e.label);
        warnings->append({line, contact.name, text});
    }
    contact.remarks = remarks;
    m_extras.clear();
    return contact;
}

} // namespace exchange
