#pragma once
// Unexpected runtime errors. Code that detects an impossible state throws MivoError, which carries
// where it was thrown; the application catches every exception that escapes an event handler and
// reports it as "002" (see Application::systemerror).

#include <QString>
#include <source_location>
#include <stdexcept>

struct SystemErrorInfo
{
    long number = 0;
    QString description;
    QString window;   // the window or menu in which the error occurred
    QString object;   // the control in it
    QString event;    // the event handler or function
    long line = 0;    // line within the source of that handler; 0 where unknown
};

class MivoError : public std::runtime_error
{
public:
    explicit MivoError(const QString &description,
                       std::source_location where = std::source_location::current());

    QString description() const { return m_description; }
    QString className() const { return m_class; }   // "u_telpro" for u_telpro::cb_3_clicked
    QString function() const { return m_function; } // "cb_3_clicked"
    long line() const { return m_line; }

private:
    QString m_description;
    QString m_class;
    QString m_function;
    long m_line;
};

// "\n错误对象: w.o\n错误事件: e\n错误行: n\n错误描述: d" — the text put on the clipboard.
QString systemErrorText(const SystemErrorInfo &info);
// The body of box "002".
QString systemErrorMessage(const QString &errorText);
