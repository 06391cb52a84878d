/* bench_sqlite_steps: the floor a list is measured against. Runs statements on a database as any
 * program must to show their rows: prepare, bind, step through every row and read every column as
 * text, finalize. Links SQLite only; the connection keeps SQLite's defaults.
 *
 *   bench_sqlite_steps [-n RUNS] [-s | -b] [-p PRAGMAS] DB SQL [ARG] [-q SQL [ARG]]...
 *
 * -p runs PRAGMAS on the connection first, to read with the settings of another program's.
 * The first parameter of each statement is bound to its ARG, when given. All the statements run
 * once to warm the caches, then RUNS times (default 3), each run timed as a whole. -s steps without
 * reading the columns; -b times both ways in every run. Prints one line per timed run and way:
 * "read rows R cpu_ns C wall_ns W" (or "step ..."). */

#define _POSIX_C_SOURCE 200809L
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { MAX_STATEMENTS = 8 };

struct statement {
    const char *sql;
    const char *arg;
};

static long long now_ns(clockid_t clock)
{
    struct timespec ts;
    clock_gettime(clock, &ts);
    return (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

/* Rows stepped through, or -1 on failure (reported on stderr). */
static long run(sqlite3 *db, const struct statement *st, int read_columns)
{
    sqlite3_stmt *s = NULL;
    long rows = 0;
    if (sqlite3_prepare_v2(db, st->sql, -1, &s, NULL) != SQLITE_OK) {
        fprintf(stderr, "bench_sqlite_steps: %s\n", sqlite3_errmsg(db));
        return -1;
    }
    if (st->arg && sqlite3_bind_text(s, 1, st->arg, -1, SQLITE_STATIC) != SQLITE_OK) {
        fprintf(stderr, "bench_sqlite_steps: bind: %s\n", sqlite3_errmsg(db));
        sqlite3_finalize(s);
        return -1;
    }
    const int columns = sqlite3_column_count(s);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        ++rows;
        if (read_columns)
            for (int c = 0; c < columns; ++c) {
                sqlite3_column_text(s, c);
                sqlite3_column_bytes(s, c);
            }
    }
    if (rc != SQLITE_DONE) {
        fprintf(stderr, "bench_sqlite_steps: step: %s\n", sqlite3_errmsg(db));
        rows = -1;
    }
    sqlite3_finalize(s);
    return rows;
}

static int usage(void)
{
    fprintf(stderr, "usage: bench_sqlite_steps [-n RUNS] [-s | -b] [-p PRAGMAS] DB SQL [ARG] [-q SQL [ARG]]...\n");
    return 2;
}

int main(int argc, char **argv)
{
    /* The ways to time: reading the columns (1) and stepping only (0). */
    int runs = 3, ways[2] = {1, 0}, way_count = 1, i = 1;
    const char *pragmas = NULL;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (strcmp(argv[i], "-n") == 0 && i + 1 < argc)
            runs = atoi(argv[++i]);
        else if (strcmp(argv[i], "-s") == 0)
            ways[0] = 0;
        else if (strcmp(argv[i], "-b") == 0)
            way_count = 2;
        else if (strcmp(argv[i], "-p") == 0 && i + 1 < argc)
            pragmas = argv[++i];
        else
            return usage();
    }
    if (runs < 1 || argc - i < 2)
        return usage();
    const char *path = argv[i++];
    struct statement statements[MAX_STATEMENTS];
    int count = 0;
    while (i < argc) {
        if (count == MAX_STATEMENTS)
            return usage();
        if (count > 0) {
            if (strcmp(argv[i], "-q") != 0 || i + 1 >= argc)
                return usage();
            ++i;
        }
        statements[count].sql = argv[i++];
        statements[count].arg = i < argc && strcmp(argv[i], "-q") != 0 ? argv[i++] : NULL;
        ++count;
    }

    sqlite3 *db = NULL;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK) {
        fprintf(stderr, "bench_sqlite_steps: %s: %s\n", path, sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    char *error = NULL;
    if (pragmas && sqlite3_exec(db, pragmas, NULL, NULL, &error) != SQLITE_OK) {
        fprintf(stderr, "bench_sqlite_steps: %s\n", error);
        sqlite3_free(error);
        sqlite3_close(db);
        return 1;
    }
    int status = 0;
    for (int r = -1; r < runs && status == 0; ++r)
        for (int w = 0; w < way_count && status == 0; ++w) {
            const long long cpu0 = now_ns(CLOCK_PROCESS_CPUTIME_ID), wall0 = now_ns(CLOCK_MONOTONIC);
            long rows = 0;
            for (int k = 0; k < count && status == 0; ++k) {
                const long n = run(db, &statements[k], ways[w]);
                if (n < 0)
                    status = 1;
                rows += n;
            }
            const long long cpu = now_ns(CLOCK_PROCESS_CPUTIME_ID) - cpu0, wall = now_ns(CLOCK_MONOTONIC) - wall0;
            if (r >= 0 && status == 0)
                printf("%s rows %ld cpu_ns %lld wall_ns %lld\n", ways[w] ? "read" : "step", rows, cpu, wall);
        }
    sqlite3_close(db);
    return status;
}
