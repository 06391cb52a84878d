#pragma once

#include <QString>

namespace platform {

enum class Icon { Information, Stop, Exclamation, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// One message box: the title is the message code, the text the message. defaultButton counts the
// buttons from 1 in the order of `buttons` (YesNo with 2 preselects No).
struct MessageBoxRequest
{
    QString title;
    QString text;
    Icon icon = Icon::Information;
    Buttons buttons = Buttons::Ok;
    int defaultButton = 1;
};

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual Answer show(const MessageBoxRequest &request) = 0;
};

// The answer of a box closed without a choice (Escape, the lock): its last button, No or Cancel, or
// Ok where that is the only one.
Answer cancelAnswer(Buttons buttons);

// The way every part of the program shows a message box. While the program is locked a box that
// asks something is not shown and gets its cancelling answer; a plain notice still shows (it holds
// no record and offers no choice, and a failure at exit or "002" must not go unsaid).
Answer messageBox(const QString &title, const QString &text, Icon icon = Icon::Information,
                  Buttons buttons = Buttons::Ok, int defaultButton = 1);

} // namespace platform
