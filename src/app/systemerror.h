#pragma once
// Unexpected runtime errors. Code that detects an impossible state throws MivoError, which names the
// control and the event it failed in, and where it was thrown; the application catches every
// exception that escapes an event handler and reports it as "002" (see Application::reportSystemError).

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

class QObject;

class MivoError : public std::runtime_error
{
public:
    // `object` is the control whose event failed: the report names it by its object name ("cb_3")
    // and its window's ("w_main"). `event` is the event as the report names it ("clicked"). The
    // names are taken now: the object may be gone by the time the report is made.
    MivoError(const QObject *object, const QString &event, const QString &description,
              std::source_location where = std::source_location::current());

    QString window() const { return m_window; }  // empty when the object is no widget
    QString objectName() const { return m_object; }
    QString event() const { return m_event; }
    QString description() const { return m_description; }
    long line() const { return m_line; }         // where it was thrown

private:
    QString m_window;
    QString m_object;
    QString m_event;
    QString m_description;
    long m_line;
};

// "\n错误对象: w.o\n错误事件: e\n错误行: n\n错误描述: d" — the text put on the clipboard.
QString systemErrorText(const SystemErrorInfo &info);
// The body of box "002".
QString systemErrorMessage(const QString &errorText);
