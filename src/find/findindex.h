#pragma once
// Finding records by what a user types: characters of any field, the name's full pinyin or initials,
// mixtures of both, digits of a phone number. The index holds the records' texts folded for comparing
// and their names as readings; nothing of the database. It is built when it is first needed, and a
// save, delete, import or sync changes it one record at a time.
//
//   FindIndex index({{"姓名", FieldKind::Pinyin}, {"昵称", FieldKind::Pinyin}, {"手机", FieldKind::Phone}, …});
//   index.load(db.handle(), "SELECT id, xingm0, nich00, shouji, … FROM t_telinfo");
//   for (const Hit &hit : index.search(typed))   // best first
//       … hit.id, index.fields().at(hit.field).name, hit.match …
//   index.update({id, values});  /  index.remove(id);  after a write, then search again.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

struct sqlite3;

namespace finder {

enum class FieldKind {
    Text,   // compared as folded text
    Pinyin, // as text, and by the readings of its Chinese characters
    Phone,  // by its digits alone
};

struct Field
{
    QString name;
    FieldKind kind = FieldKind::Text;
};

struct Record
{
    qint64 id = 0;
    QStringList values; // one per field, in the index's order of fields; missing ones are empty
};

// How a record matched, best first; the first four concern the name (the first field).
enum class Match {
    ExactName,     // the name is the typed text
    NamePrefix,    // the name starts with it
    NameInitials,  // the initials of the name's readings start with it ("zs" for 张三)
    NamePinyin,    // the name's readings start with it ("zhangs", "zsan")
    Contains,      // some field holds it, as text, as digits or, where read as pinyin, from any character on
};

struct Hit
{
    qint64 id = 0;
    int field = 0; // the first field that matched
    Match match = Match::Contains;
};

class FindIndex
{
public:
    // The first field is the name; it orders the hits of one kind of match (by its readings).
    explicit FindIndex(const QList<Field> &fields);
    ~FindIndex();
    FindIndex(const FindIndex &) = delete;
    FindIndex &operator=(const FindIndex &) = delete;

    const QList<Field> &fields() const;
    qsizetype size() const;
    bool contains(qint64 id) const;

    // Replaces every record.
    void setRecords(const QList<Record> &records);
    // Adds the record, or replaces the one with its id.
    void update(const Record &record);
    // False when no record has the id.
    bool remove(qint64 id);
    void clear();

    // Reads records from a statement whose first column is the id and the next ones the fields'
    // values, in order: load() replaces every record with them, update() adds or replaces just these
    // (say "… WHERE id = 12"). On failure the index is as it was and `error` says why.
    bool load(sqlite3 *db, const QString &select, QString *error = nullptr);
    bool update(sqlite3 *db, const QString &select, QString *error = nullptr);

    // The records matching `text`, best first: by Match, then by name within one kind. Blank text finds
    // nothing. At most `limit` hits, all when it is negative. Typing on (each text extending the last
    // one) searches only among the last hits.
    QList<Hit> search(const QString &text, qsizetype limit = -1);

    // Bytes the index holds on the heap, as far as it can count them.
    std::size_t memoryUsage() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace finder
