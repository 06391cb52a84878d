#pragma once
// The notes' search index (the table p_info_fts and the three triggers that keep it in step with
// p_info). A new database has it from the schema; a database made before it existed gets it here,
// once, when the notebook first searches. Start-up never builds it: a database without it opens and
// searches the plain way.

#include <QString>
#include <functional>

class QWidget;
class Connection;

namespace notesearch {

// True when the index table and all three triggers are there, so its pieces match the notes.
bool hasSearchIndex(Connection &db);

enum class IndexResult {
    Present,     // it was there already; nothing was done
    Added,       // made and filled, committed
    Cancelled,   // the progress callback said stop: rolled back
    Failed,      // an error (its reason given where asked for): rolled back
};

// (notes done, notes in all) -> false to cancel. Called once before the first note and after each step.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Makes the index and fills it, in steps of a few notes, in one transaction on `db`, and commits.
// Cancel or any failure rolls it all back, so the database is exactly as it was; a failure's reason
// goes to `reason`. Refused (Failed, nothing touched) while `db` holds a transaction of its own,
// which a rollback would take with it.
IndexResult addSearchIndex(Connection &db, const Progress &progress = {}, QString *reason = nullptr);

// The same behind a modal progress dialog with a cancel button, shown once the work has taken
// `showAfterMs`.
IndexResult addSearchIndexWithProgress(Connection &db, QWidget *parent, int showAfterMs = 400, QString *reason = nullptr);

} // namespace notesearch
