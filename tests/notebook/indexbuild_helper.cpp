// Builds the search index of the database named on the command line in steps of a millisecond or
// two, writing "done total" after each, for a test that kills it at some moment of the build.

#include "notebook/searchindex.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QString reason;
    const notesearch::BuildResult result = notesearch::buildSearchIndex(
        QString::fromLocal8Bit(argv[1]),
        [](qint64 done, qint64 total) {
            std::printf("%lld %lld\n", static_cast<long long>(done), static_cast<long long>(total));
            std::fflush(stdout);
            return true;
        },
        &reason, 2);
    if (result != notesearch::BuildResult::Complete)
        std::fprintf(stderr, "%s\n", qPrintable(reason));
    return result == notesearch::BuildResult::Complete ? 0 : 1;
}
