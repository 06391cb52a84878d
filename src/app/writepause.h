#pragma once
// Writers that work in the background on connections of their own (building the notes' search index)
// stand still while a backup or an export runs: a write from another connection makes an online
// backup start over, and a long read would keep their commits waiting.

#include <functional>

namespace app {

class WritePause
{
public:
    // Waits for a background step under way to end (a step is short), then holds every later one
    // back until this is gone.
    WritePause();
    ~WritePause();
    WritePause(const WritePause &) = delete;
    WritePause &operator=(const WritePause &) = delete;

    static bool active();

    // The program's connection says when it opens and ends a transaction. A background step does not
    // begin while one is open, so a save waits at most for the step under way, never for a string of
    // them (the database's busy timeout covers that wait).
    static void foregroundTransaction(bool open);

    // For a background writer: runs `step` once no pause lives and no foreground transaction is open,
    // no pause beginning while it runs.
    // Polls `stop` while it waits; true from it gives up without running the step (returns false).
    static bool runStep(const std::function<void()> &step, const std::function<bool()> &stop);
};

} // namespace app
