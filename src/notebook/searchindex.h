#pragma once
// The notes' search index: the table p_info_fts and the three triggers that keep it in step with
// p_info. A new database has it from the schema. A database made before it gets it in the
// background, in short steps that each commit on a connection of their own: while it is being
// built the table p_info_indexing holds how far (every note up to its id is in the index) and the
// triggers keep just those notes exact, so a note edited meanwhile is right when the build reaches
// the end, and a build cut short goes on from there the next time. Searches use the index only
// once it is complete.

#include <QString>
#include <functional>

class Connection;

namespace notesearch {

enum class IndexState {
    Missing,    // none, or what is there lost a part: a build starts afresh
    Building,   // partly built: a build goes on from where it stopped
    Complete,   // searches use it
};

IndexState indexState(Connection &db);
// True when the index is complete, so searches can use it.
bool hasSearchIndex(Connection &db);

enum class BuildResult {
    Complete,   // the index is complete (it may have been so already)
    Stopped,    // the progress callback said stop; the steps done so far stay
    Failed,     // an error other than a busy database (its reason given where asked for)
};

// (notes in the index, notes in all) -> false to stop. Called after every step.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Builds or goes on building the index of the database in `file`, on a connection of its own,
// step by step, each step a transaction of at most about `stepMs` milliseconds. Steps wait while
// a backup or an export runs (app::WritePause) or the program's connection holds a transaction; a
// step the database refuses as busy is tried again. `stopped`, asked also while steps wait, stops
// it as the progress callback's false does.
BuildResult buildSearchIndex(const QString &file, const Progress &progress = {}, QString *reason = nullptr, int stepMs = 50,
                             const std::function<bool()> &stopped = {});

} // namespace notesearch
