#pragma once
// A contact as the address book stores it (one row of t_telinfo), the files' own additions to it, and
// what reading a file of contacts gives back.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace exchange {

struct Contact
{
    QString groupCode;      // zuhao0   组别: a group's code, as this program's CSV holds it
    QString name;           // xingm0   姓名, the contact's key
    QString nickname;       // nich00   昵称
    QString sex;            // xingb0   性别: "1" 男, "2" 女
    QString birthday;       // shengr   生日: yyyymmdd, 0000mmdd without a year
    QString mobile;         // shouji   手机
    QString handyPhone;     // xiaolt   小灵通
    QString homePhone;      // dianh0   家庭电话
    QString email;          // email0   Email
    QString qq;             // qq0000   QQ
    QString msn;            // msn00    MSN
    QString homeAddress;    // dizhi0   家庭地址
    QString postcode;       // youb00   邮编
    QString employer;       // danwei   单位
    QString nativePlace;    // yuanji   原籍
    QString remarks;        // beizhu   备注
    QString officePhone;    // dianh0_dw 办公电话
    QString occupation;     // zhiye0   职业
    QString officeAddress;  // dizhi0_dw 单位地址
    QString history;        // jwjl00   交往记录
    QString updated;        // gxrq00   更新日期: yyyymmdd

    // Group names (a card's CATEGORIES): a reader gives every one the card names, a writer writes
    // those it is given. Which group a contact lands in is the caller's choice.
    QStringList categories;
    // The card's UID, empty where it has none; kept so that a contact can be matched with its card.
    QString uid;

    bool operator==(const Contact &) const = default;
};

// One column of t_telinfo: its name, its label on the card, the most characters it holds (0: no
// limit) and the member that holds it.
struct ContactField
{
    QString column;
    QString label;
    int width = 0;
    QString Contact::*member = nullptr;
};

// Every column but the identity, in the table's order (the order of the program's export).
const QList<ContactField> &contactFields();
const ContactField *contactFieldOfColumn(QStringView column);

// A text's length as the database's width checks count it: characters, one for each code point.
qsizetype characterCount(QStringView text);
// The first `count` characters, never cutting a character beyond 16 bits in two.
QString leftCharacters(const QString &text, qsizetype count);

// Names are the contacts' key and compare without regard to case: two names with one key clash.
QString nameKey(const QString &name);
// `name` where no contact has it yet, else the first free of "name (2)", "name (3)" …, the name
// shortened (never inside a character) so that each fits the name column's `width` characters.
// `isTakenKey` is asked with nameKey() of each candidate.
QString uniqueName(const QString &name, const std::function<bool(const QString &key)> &isTakenKey, int width = 20);

// Something a reader has to say about one place of a file.
struct ImportNote
{
    int line = 0;       // of the file, from 1, where the card or the row starts; 0 for the file as a whole
    QString contact;    // the contact it concerns, where it has a name
    QString text;       // in Chinese, a sentence

    // "第 12 行(张三): …", or the text alone for the file as a whole.
    QString message() const;
};

// A file of contacts, read: either the contacts it holds or, for a file refused as a whole, the
// error alone.
struct ContactImport
{
    QList<Contact> contacts;        // in the file's order
    QList<ImportNote> warnings;     // values that were moved to 备注 or 交往记录 because they do not fit
    QList<ImportNote> skipped;      // cards or rows left out: no name, or not a person
    ImportNote error;               // the reason the file was refused; empty text when it was read

    bool failed() const { return !error.text.isEmpty(); }
    static ContactImport refused(int line, const QString &text);
    // The file at `path` given to `read`, or refused with the system's reason when it cannot be read.
    static ContactImport ofFile(const QString &path, ContactImport (*read)(QByteArrayView bytes));
};

} // namespace exchange
