#include "exchange/vcardmapper.h"

#include "exchange/contactdraft.h"
#include "exchange/personname.h"
#include "exchange/phonenumber.h"
#include "exchange/vcardtext.h"

#include <QDate>
#include <algorithm>

namespace exchange {

using vcardtext::split;
using vcardtext::unescaped;

namespace {

enum class Place { None, Home, Work, Cell, Handy, Fax, Pager };

// The properties read, as VCardProperty::kind.
enum Kind {
    Skipped, ProductId, CardKind, GroupLabel, FullName, Name, Nickname, Phone, Email, Address, AddressLabel,
    Organisation, Title, Role, Birthday, Note, InstantMessaging, Qq, Msn, Gender, Categories, Uid, Own,
};

// "_$!<Mobile>!$_" and the like, as some programs label a property group, made a plain word.
QString labelWord(const QString &label)
{
    QString word = label.trimmed();
    if (word.startsWith(QLatin1String("_$!<")) && word.endsWith(QLatin1String(">!$_")))
        word = word.mid(4, word.size() - 8);
    return word.toLower();
}

Place placeOf(const VCardProperty &p, const QString &label)
{
    struct Words
    {
        Place place;
        const char *type1, *type2, *type3;
        QStringList words;
    };
    // In this order: a home fax is a fax, a work mobile a mobile.
    static const QList<Words> places = {
        {Place::Handy, "X-MIVO-XIAOLT", nullptr, nullptr, {}},
        {Place::Fax, "FAX", nullptr, nullptr, {QStringLiteral("fax"), QStringLiteral("传真")}},
        {Place::Pager, "PAGER", nullptr, nullptr, {QStringLiteral("pager"), QStringLiteral("寻呼")}},
        {Place::Cell, "CELL", "MOBILE", "IPHONE",
         {QStringLiteral("mobile"), QStringLiteral("cell"), QStringLiteral("iphone"), QStringLiteral("手机"), QStringLiteral("移动")}},
        {Place::Home, "HOME", nullptr, nullptr, {QStringLiteral("home"), QStringLiteral("家"), QStringLiteral("住宅")}},
        {Place::Work, "WORK", nullptr, nullptr,
         {QStringLiteral("work"), QStringLiteral("工作"), QStringLiteral("单位"), QStringLiteral("办公"), QStringLiteral("公司")}},
    };
    const QString word = label.isEmpty() ? QString() : labelWord(label);
    for (const Words &w : places) {
        for (const char *type : {w.type1, w.type2, w.type3})
            if (type && p.hasType(type))
                return w.place;
        for (const QString &known : w.words)
            if (!word.isEmpty() && word.contains(known))
                return w.place;
    }
    return Place::None;
}

// yyyymmdd, or 0000mmdd for a date without a year; nothing for what is not a date.
std::optional<QString> birthdayOf(QString text)
{
    text = text.trimmed();
    const bool noYear = text.startsWith(QLatin1String("--"));
    if (noYear)
        text = text.mid(2);
    if (const qsizetype time = text.indexOf(QLatin1Char('T')); time > 0)
        text.truncate(time);
    QStringList parts;
    QString part;
    for (QChar c : std::as_const(text)) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            part += c;
        } else if (c == QLatin1Char('-') || c == QLatin1Char('/') || c == QLatin1Char('.')) {
            parts.append(part);
            part.clear();
        } else {
            return std::nullopt;
        }
    }
    parts.append(part);
    QString year = QStringLiteral("0000"), month, day;
    if (parts.size() == 1 && part.size() == (noYear ? 4 : 8)) {
        if (!noYear)
            year = part.left(4);
        month = part.mid(part.size() - 4, 2);
        day = part.right(2);
    } else if (parts.size() == (noYear ? 2 : 3) && (noYear || parts.first().size() == 4)) {
        if (!noYear)
            year = parts.first();
        month = parts.at(parts.size() - 2).rightJustified(2, QLatin1Char('0'));
        day = parts.last().rightJustified(2, QLatin1Char('0'));
    } else {
        return std::nullopt;
    }
    const int y = year.toInt();
    // A date without a year may be the 29th of February.
    if (month.size() != 2 || day.size() != 2 || !QDate(y == 0 ? 2000 : y, month.toInt(), day.toInt()).isValid())
        return std::nullopt;
    return year + month + day;
}

QString sexOf(const QString &text)
{
    const QString s = text.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (s == QLatin1String("m") || s == QLatin1String("male") || s == QStringLiteral("男") || s == QLatin1String("1"))
        return QStringLiteral("1");
    if (s == QLatin1String("f") || s == QLatin1String("female") || s == QStringLiteral("女") || s == QLatin1String("2"))
        return QStringLiteral("2");
    return QString();
}

bool allDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

// An address's text: a Chinese one from the country down with nothing between, others from the
// street up, separated by commas.
QString addressOf(const QStringList &parts, bool own)
{
    auto at = [&](int i) { return i < parts.size() ? (own ? parts.at(i) : parts.at(i).trimmed()) : QString(); };
    QStringList western = {at(0), at(1), at(2), at(3), at(4), at(6)};
    western.removeAll(QString());
    bool chinese = false;
    for (const QString &p : std::as_const(western))
        chinese = chinese || hasHan(p);
    if (!chinese)
        return western.join(QStringLiteral(", "));
    return at(6) + at(4) + at(3) + at(2) + at(1) + at(0);
}

// An instant-messaging account: X-QQ and X-MSN as they are, IMPP by its scheme (qq:, msnim:) or by
// the service its parameters name.
struct Messenger
{
    enum Service { Other, Qq, Msn } service = Other;
    QString account;
};

Messenger messengerOf(const VCardProperty &p, const QString &value)
{
    if (p.kind == Qq)
        return {Messenger::Qq, value};
    if (p.kind == Msn)
        return {Messenger::Msn, value};
    const QString scheme = value.section(QLatin1Char(':'), 0, 0).toLower();
    const QString service = p.serviceType.isEmpty() ? scheme : QString::fromLatin1(p.serviceType).toLower();
    if (service == QLatin1String("qq") || service == QLatin1String("tencent") || p.hasType("QQ")) {
        // qq:12345, x-something:12345, tencent://message/?uin=12345
        const qsizetype uin = value.indexOf(QLatin1String("uin="));
        return {Messenger::Qq, uin >= 0 ? value.mid(uin + 4).section(QLatin1Char('&'), 0, 0)
                                        : value.section(QLatin1Char(':'), -1).section(QLatin1Char('/'), -1)};
    }
    if (service == QLatin1String("msn") || service == QLatin1String("msnim") || p.hasType("MSN")) {
        QString account = value.section(QLatin1Char(':'), 1);
        if (account.startsWith(QLatin1String("chat?contact=")))
            account = account.mid(13);
        return {Messenger::Msn, account};
    }
    return {};
}

// A property with the rank its PREF gives it, and its decoded text.
struct Ranked
{
    const VCardProperty *property;
    QString text;
    Place place = Place::None;
};

// The preferred first; with `typedFirst`, those that say where they belong before those that do not,
// so that a number or address without a type does not take the column of one that names it.
void sortByPreference(QList<Ranked> &list, bool typedFirst)
{
    auto rank = [typedFirst](const Ranked &r) {
        return std::pair(typedFirst && r.place == Place::None,
                         r.property->pref > 0 ? r.property->pref : INT_MAX);
    };
    std::stable_sort(list.begin(), list.end(), [&rank](const Ranked &a, const Ranked &b) { return rank(a) < rank(b); });
}

} // namespace

VCardMapper::VCardMapper(bool ignoreCharsets)
    : m_ignoreCharsets(ignoreCharsets)
{
}

VCardMapper::~VCardMapper() = default;

int VCardMapper::classify(const QByteArray &name)
{
    static const QHash<QByteArray, int> kinds = {
        {"PRODID", ProductId}, {"KIND", CardKind}, {"X-ABLABEL", GroupLabel}, {"FN", FullName}, {"N", Name},
        {"NICKNAME", Nickname}, {"TEL", Phone}, {"EMAIL", Email}, {"ADR", Address}, {"LABEL", AddressLabel},
        {"ORG", Organisation}, {"TITLE", Title}, {"ROLE", Role}, {"BDAY", Birthday}, {"NOTE", Note},
        {"IMPP", InstantMessaging}, {"X-QQ", Qq}, {"X-MSN", Msn}, {"GENDER", Gender}, {"X-GENDER", Gender},
        {"CATEGORIES", Categories}, {"UID", Uid},
    };
    if (name.startsWith("X-MIVO-"))
        return Own;
    return kinds.value(name, Skipped);
}

CharsetDecoder *VCardMapper::decoder(const QByteArray &charset)
{
    const QByteArray key = charset.toUpper();
    auto it = m_decoders.find(key);
    if (it == m_decoders.end())
        it = m_decoders.insert(key, std::make_shared<CharsetDecoder>(charset));
    return it->get();
}

std::optional<QString> VCardMapper::text(const VCardProperty &p, ContactImport *out)
{
    const auto name = [&p] { return QString::fromLatin1(p.name); };
    auto refuse = [&](const QString &reason) {
        *out = ContactImport::refused(p.line, reason);
        return std::nullopt;
    };
    QByteArray decoded;
    QByteArrayView bytes = p.value;
    if (p.encoding == "QUOTED-PRINTABLE") {
        decoded = vcardtext::fromQuotedPrintable(bytes);
        bytes = decoded;
    } else if (p.encoding == "BASE64" || p.encoding == "B") {
        QByteArray compact = p.value;
        compact.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
        auto result = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
        if (!result)
            return refuse(QStringLiteral("%1 的 BASE64 编码有误。").arg(name()));
        decoded = *result;
        bytes = decoded;
    }
    CharsetDecoder *d = decoder(m_ignoreCharsets ? QByteArray() : p.charset);
    if (!d->isValid())
        return refuse(QStringLiteral("%1 声明的字符集 %2 无法识别。").arg(name(), QString::fromLatin1(p.charset)));
    std::optional<QString> text = d->decode(bytes);
    if (!text)
        return refuse(QStringLiteral("%1 的内容不是有效的 %2 文字。").arg(name(), QString::fromLatin1(d->name())));
    return text;
}

bool VCardMapper::map(const VCardCard &card, ContactImport *out)
{
    // What the card says about itself first: who wrote it, the labels of its groups, what it is.
    bool own = false;
    QHash<QByteArray, QString> labels;
    for (const VCardProperty &p : card.properties) {
        if (p.kind == ProductId) {
            own = p.value.trimmed().startsWith(vcardtext::kOwnProductPrefix);
        } else if (p.kind == CardKind && p.value.trimmed().toLower() == "group") {
            out->skipped.append({card.line, QString(), QStringLiteral("这是一个联系人分组,不是联系人,未导入。")});
            return true;
        } else if (p.kind == GroupLabel && !p.group.isEmpty()) {
            const std::optional<QString> label = text(p, out);
            if (!label)
                return false;
            labels.insert(p.group, unescaped(*label));
        }
    }

    ContactDraft draft;
    Contact &c = draft.contact;
    auto clean = [own](const QString &value) { return own ? value : value.trimmed(); };
    // Into its column when that is still empty, else into 备注 with its label.
    auto put = [&](QString Contact::*member, const QString &label, const QString &value) {
        if (value.isEmpty())
            return;
        QString &field = c.*member;
        if (field.isEmpty())
            field = value;
        else if (field != value)
            draft.addExtra(label, value);
    };

    std::optional<QString> fullName;
    QStringList nameParts;
    QList<Ranked> phones, emails, addresses, addressLabels;
    QList<std::pair<const ContactField *, QString>> ownFields;
    for (const VCardProperty &p : card.properties) {
        if (p.kind == ProductId || p.kind == CardKind || p.kind == GroupLabel)
            continue;
        const std::optional<QString> decoded = text(p, out);
        if (!decoded)
            return false;
        const QString &t = *decoded;
        const QString label = p.group.isEmpty() ? QString() : labels.value(p.group);
        switch (p.kind) {
        case FullName:
            if (!fullName)
                fullName = unescaped(t);
            break;
        case Name:
            if (nameParts.isEmpty())
                nameParts = split(t, QLatin1Char(';'));
            break;
        case Nickname:
            put(&Contact::nickname, QStringLiteral("昵称"), clean(unescaped(t)));
            break;
        case Phone:
            phones.append({&p, unescaped(t), placeOf(p, label)});
            break;
        case Email:
            emails.append({&p, unescaped(t), Place::None});
            break;
        case Address:
            addresses.append({&p, t, placeOf(p, label)});
            break;
        case AddressLabel:
            addressLabels.append({&p, unescaped(t), placeOf(p, label)});
            break;
        case Organisation: {
            QStringList parts = split(t, QLatin1Char(';'));
            if (!own)
                for (QString &part : parts)
                    part = part.trimmed();
            parts.removeAll(QString());
            put(&Contact::employer, QStringLiteral("单位"), parts.join(QLatin1Char(' ')));
            break;
        }
        case Title:
            put(&Contact::occupation, QStringLiteral("职业"), clean(unescaped(t)));
            break;
        case Role:
            put(&Contact::occupation, QStringLiteral("职务"), clean(unescaped(t)));
            break;
        case Birthday: {
            const QString value = unescaped(t).trimmed();
            if (const std::optional<QString> day = birthdayOf(value))
                put(&Contact::birthday, QStringLiteral("生日"), *day);
            else if (!value.isEmpty())
                draft.addExtra(QStringLiteral("生日"), value);
            break;
        }
        case Note:
            if (const QString note = clean(unescaped(t)); !note.isEmpty())
                c.remarks = c.remarks.isEmpty() ? note : c.remarks + QLatin1Char('\n') + note;
            break;
        case InstantMessaging:
        case Qq:
        case Msn: {
            const Messenger m = messengerOf(p, clean(unescaped(t)));
            if (m.service == Messenger::Qq && (own || allDigits(m.account)))
                put(&Contact::qq, QStringLiteral("QQ"), m.account);
            else if (m.service == Messenger::Qq && !m.account.isEmpty())
                draft.addExtra(QStringLiteral("QQ"), m.account);
            else if (m.service == Messenger::Msn)
                put(&Contact::msn, QStringLiteral("MSN"), m.account);
            break;
        }
        case Gender:
            put(&Contact::sex, QStringLiteral("性别"), sexOf(unescaped(t)));
            break;
        case Categories:
            for (const QString &category : split(t, QLatin1Char(',')))
                if (!category.trimmed().isEmpty() && !c.categories.contains(category.trimmed()))
                    c.categories.append(category.trimmed());
            break;
        case Uid:
            c.uid = unescaped(t).trimmed();
            break;
        case Own:
            if (const ContactField *f = contactFieldOfColumn(QString::fromLatin1(p.name.mid(7)));
                f && f->member != &Contact::groupCode)
                ownFields.append({f, unescaped(t)});
            break;
        }
    }

    // The name: a Chinese one family name first with nothing between; otherwise as FN shows it.
    if (own && fullName) {
        c.name = *fullName;
    } else {
        auto part = [&](int i) { return i < nameParts.size() ? nameParts.at(i).trimmed() : QString(); };
        const QString family = part(0), given = part(1), middle = part(2);
        if (hasHan(family + given + middle))
            c.name = family + middle + given;
        else if (fullName && !fullName->trimmed().isEmpty())
            c.name = fullName->trimmed();
        else
            c.name = QStringList{part(3), given, middle, family, part(4)}.join(QLatin1Char(' ')).simplified();
    }
    if (c.name.trimmed().isEmpty()) {
        out->skipped.append({card.line, QString(), QStringLiteral("名片没有姓名,未导入。")});
        return true;
    }

    sortByPreference(phones, true);
    for (const Ranked &r : std::as_const(phones)) {
        const QString number = own ? r.text : normalizedPhone(r.text);
        if (number.isEmpty())
            continue;
        switch (r.place) {
        case Place::Cell:
            put(&Contact::mobile, QStringLiteral("手机"), number);
            break;
        case Place::Home:
            put(&Contact::homePhone, QStringLiteral("家庭电话"), number);
            break;
        case Place::Work:
            put(&Contact::officePhone, QStringLiteral("办公电话"), number);
            break;
        case Place::Handy:
            put(&Contact::handyPhone, QStringLiteral("小灵通"), number);
            break;
        case Place::Fax:
            draft.addExtra(QStringLiteral("传真"), number);
            break;
        case Place::Pager:
            draft.addExtra(QStringLiteral("寻呼机"), number);
            break;
        case Place::None:
            // A number that says nothing of itself: a mobile by its look, else the first is home's.
            if (isChineseMobile(number) && c.mobile.isEmpty())
                c.mobile = number;
            else if (c.homePhone.isEmpty())
                c.homePhone = number;
            else
                draft.addExtra(QStringLiteral("电话"), number);
            break;
        }
    }

    sortByPreference(emails, false);
    for (const Ranked &r : std::as_const(emails)) {
        QString address = clean(r.text);
        if (!own && address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
            address = address.mid(7);
        put(&Contact::email, QStringLiteral("Email"), address);
    }

    sortByPreference(addresses, true);
    for (const Ranked &r : std::as_const(addresses)) {
        const QStringList parts = split(r.text, QLatin1Char(';'));
        const QString text = addressOf(parts, own);
        const QString postcode = parts.size() > 5 ? clean(parts.at(5)) : QString();
        Place place = r.place;
        if (place != Place::Home && place != Place::Work)
            place = c.homeAddress.isEmpty() ? Place::Home : c.officeAddress.isEmpty() ? Place::Work : Place::None;
        QString *field = place == Place::Home ? &c.homeAddress : place == Place::Work ? &c.officeAddress : nullptr;
        if (!text.isEmpty() && (!field || !field->isEmpty())) {
            const QString label = !field ? QStringLiteral("地址") : place == Place::Home ? QStringLiteral("家庭地址") : QStringLiteral("单位地址");
            draft.addExtra(label, postcode.isEmpty() ? text : text + QLatin1Char(' ') + postcode);
            continue;
        }
        if (field && !text.isEmpty())
            *field = text;
        put(&Contact::postcode, QStringLiteral("邮编"), postcode);
    }
    // A formatted address stands in only where the card has no structured one of its kind.
    for (const Ranked &r : std::as_const(addressLabels)) {
        const Place place = r.place;
        QString &field = place == Place::Work ? c.officeAddress : c.homeAddress;
        if (field.isEmpty() && (place != Place::None || c.officeAddress.isEmpty()))
            field = clean(r.text);
    }

    // The values only this program writes hold the stored text exactly, and win.
    for (const auto &[field, value] : std::as_const(ownFields))
        c.*(field->member) = value;

    out->contacts.append(draft.finish(card.line, &out->warnings));
    return true;
}

} // namespace exchange
