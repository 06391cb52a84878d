#pragma once
// While the program is locked no dialog of it may be seen or answered. The seams that show dialogs
// (message boxes, file dialogs, printer dialogs) register each one while it is open: the lock closes
// them with their cancelling answer (No, Cancel), whatever their default, and while it lasts a
// question, a file dialog or a printer dialog is refused at once, unseen, with that answer.

#include <functional>

namespace platform {

// Locks the dialogs for its lifetime; making one closes every dialog open.
class DialogLock
{
public:
    DialogLock();
    ~DialogLock();
    DialogLock(const DialogLock &) = delete;
    DialogLock &operator=(const DialogLock &) = delete;
};

bool dialogsLocked();

// A dialog a seam has open, registered for its lifetime. `close` ends it as cancelled when the
// program locks; its answer is then the cancelling one, whatever is clicked after.
class OpenDialog
{
public:
    explicit OpenDialog(std::function<void()> close = {});
    ~OpenDialog();
    OpenDialog(const OpenDialog &) = delete;
    OpenDialog &operator=(const OpenDialog &) = delete;

    bool closedByLock() const { return m_closed; }

private:
    friend class DialogLock;
    std::function<void()> m_close;
    bool m_closed = false;
};

} // namespace platform
