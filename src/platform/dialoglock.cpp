#include "platform/dialoglock.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

int locks = 0;
std::vector<OpenDialog *> &openDialogs()
{
    static std::vector<OpenDialog *> open;
    return open;
}

} // namespace

DialogLock::DialogLock()
{
    ++locks;
    // A copy: a dialog's close may run code that opens or ends another.
    const std::vector<OpenDialog *> open = openDialogs();
    for (OpenDialog *dialog : open) {
        const auto &now = openDialogs();
        if (std::find(now.begin(), now.end(), dialog) == now.end() || dialog->m_closed)
            continue;
        dialog->m_closed = true;
        if (dialog->m_close)
            dialog->m_close();
    }
}

DialogLock::~DialogLock()
{
    --locks;
}

bool dialogsLocked()
{
    return locks > 0;
}

OpenDialog::OpenDialog(std::function<void()> close)
    : m_close(std::move(close))
{
    openDialogs().push_back(this);
}

OpenDialog::~OpenDialog()
{
    auto &open = openDialogs();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

} // namespace platform
