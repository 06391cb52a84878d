// Reading contact files, measured in one run: 10,000 contacts from one vCard file, against the budget
// of 3 s that an import has for everything (reading, the database, the tree), and against the floor of
// merely reading the file and converting its bytes to text. Two files: the cards this program writes
// (3.0, UTF-8), and cards as older phones write them (2.1, quoted-printable GBK, each with a photo of
// 6 KB to step over). Writing the first file is measured too, and the whole import of the first
// file into an empty database (reading, planning, the one transaction). Median of 5 rounds, CPU time.
// Usage: bench_exchange [contacts=10000]   (in a Release build)

#include "generator.h"
#include "timing.h"

#include "addressbook/contactimport.h"
#include "app/schema.h"
#include "exchange/vcardreader.h"
#include "exchange/vcardwriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace exchange;

namespace {

constexpr int kRounds = 5;
constexpr double kBudgetMs = 3000;

QList<Contact> contactsOf(const QString &database)
{
    QStringList columns;
    for (const ContactField &f : contactFields())
        columns << f.column;
    sqlite3 *db = nullptr;
    sqlite3_open(database.toUtf8().constData(), &db);
    sqlite3_stmt *s = nullptr;
    const QByteArray sql = "SELECT " + columns.join(QLatin1Char(',')).toUtf8() + " FROM t_telinfo";
    sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr);
    QList<Contact> contacts;
    while (sqlite3_step(s) == SQLITE_ROW) {
        Contact c;
        for (int i = 0; i < int(contactFields().size()); ++i)
            c.*contactFields().at(i).member = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)));
        c.categories = {QStringLiteral("朋友")};
        contacts << c;
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return contacts;
}

QByteArray quotedPrintable(const QString &text, QStringEncoder &gbk)
{
    QByteArray out;
    for (uchar b : QByteArray(gbk(text)))
        out += '=' + QByteArray::number(b, 16).toUpper().rightJustified(2, '0');
    return out;
}

// The same contacts as a phone of some years ago exports them.
QByteArray phoneFile(const QList<Contact> &contacts)
{
    QStringEncoder gbk("GB18030");
    QByteArray photo = QByteArray(6 * 1024, '\x5a').toBase64();
    QByteArray indented;
    for (qsizetype i = 0; i < photo.size(); i += 72)
        indented += "    " + photo.mid(i, 72) + "\r\n";
    QByteArray out;
    for (const Contact &c : contacts) {
        out += "BEGIN:VCARD\r\nVERSION:2.1\r\n";
        out += "N;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:" + quotedPrintable(c.name.left(1), gbk) + ';'
            + quotedPrintable(c.name.mid(1), gbk) + ";;;\r\n";
        out += "TEL;CELL:" + c.mobile.toUtf8() + "\r\nTEL;HOME:" + c.homePhone.toUtf8() + "\r\n";
        out += "ADR;HOME;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:;;" + quotedPrintable(c.homeAddress, gbk) + ";;;"
            + c.postcode.toUtf8() + ";\r\n";
        out += "NOTE;CHARSET=GB2312;ENCODING=QUOTED-PRINTABLE:" + quotedPrintable(c.remarks, gbk) + "\r\n";
        out += "PHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n" + indented + "\r\nEND:VCARD\r\n";
    }
    return out;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void report(const char *what, const QString &path, int expected)
{
    bench::Timing reading, floor;
    int got = 0;
    for (int round = 0; round < kRounds; ++round) {
        bench::measure(reading, [&] { got = int(VCardReader::readFile(path).contacts.size()); });
        bench::measure(floor, [&] {
            const QString text = QString::fromUtf8(readBytes(path));
            got += int(text.size() & 0);
        });
    }
    if (got != expected)
        qFatal("%s: read %d contacts of %d", what, got, expected);
    const double ms = bench::median(std::vector<double>(reading.cpu.begin(), reading.cpu.end()));
    std::printf("%-44s %8.1f ms  %5.1f%% of the 3 s budget  %5.1fx reading+decoding the file  (%.1f MB)\n", what, ms,
                100 * ms / kBudgetMs, bench::medianRatio(reading.cpu, floor.cpu), double(QFile(path).size()) / 1e6);
}

// The file read, planned and written into a new database, as the address book's import does it.
void reportImport(const QString &path, const QString &folder, int expected)
{
    bench::Timing importing;
    for (int round = 0; round < kRounds; ++round) {
        const QString file = folder + QStringLiteral("/import%1.mdb").arg(round);
        QString error;
        if (!createDatabase(file, &error))
            qFatal("%s", qPrintable(error));
        Connection db;
        if (const DbResult opened = db.open(file); !opened)
            qFatal("%s", qPrintable(opened.reason));
        addressbook::ImportPlan plan;
        bench::measure(importing, [&] {
            addressbook::ContactImporter importer(db);
            const ContactImport read = addressbook::ContactImporter::readFile(path);
            DbResult failure;
            if (!importer.load() || !importer.plan(read, QStringLiteral("%"), addressbook::NameClash::Skip, &plan)
                || importer.write(plan, {}, &failure) != addressbook::ContactImporter::Outcome::Stored)
                qFatal("the import failed: %s", qPrintable(failure.reason));
        });
        if (plan.added != expected)
            qFatal("imported %d contacts of %d", plan.added, expected);
    }
    const double ms = bench::median(std::vector<double>(importing.cpu.begin(), importing.cpu.end()));
    std::printf("%-44s %8.1f ms  %5.1f%% of the 3 s budget\n", "import 3.0 into an empty database", ms, 100 * ms / kBudgetMs);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    QString error;
    if (!bench::generateContacts(dir.filePath(QStringLiteral("mivo.mdb")), n, 8, &error))
        qFatal("%s", qPrintable(error));
    const QList<Contact> contacts = contactsOf(dir.filePath(QStringLiteral("mivo.mdb")));

    const QString own = dir.filePath(QStringLiteral("own.vcf"));
    bench::Timing writing;
    for (int round = 0; round < kRounds; ++round)
        bench::measure(writing, [&] {
            QString reason;
            if (!VCardWriter().writeToPath(own, contacts, &reason))
                qFatal("%s", qPrintable(reason));
        });
    std::printf("%d contacts\n", n);
    std::printf("%-44s %8.1f ms\n", "write 3.0 (this program's cards)",
                bench::median(std::vector<double>(writing.cpu.begin(), writing.cpu.end())));
    report("read 3.0 (this program's cards)", own, n);
    reportImport(own, dir.path(), n);

    const QString phone = dir.filePath(QStringLiteral("phone.vcf"));
    QFile f(phone);
    f.open(QIODevice::WriteOnly);
    f.write(phoneFile(contacts));
    f.close();
    report("read 2.1 (quoted-printable GBK, 6 KB photos)", phone, n);
    return 0;
}
