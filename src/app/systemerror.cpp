#include "app/systemerror.h"

#include <QWidget>

MivoError::MivoError(const QObject *object, const QString &event, const QString &description,
                     std::source_location where)
    : std::runtime_error(description.toStdString())
    , m_event(event)
    , m_description(description)
    , m_line(long(where.line()))
{
    if (!object)
        return;
    m_object = object->objectName();
    if (const auto *widget = qobject_cast<const QWidget *>(object))
        m_window = widget->window()->objectName();
}

QString systemErrorText(const SystemErrorInfo &info)
{
    QString s;
    s += QStringLiteral("\n错误对象: ") + info.window + QLatin1Char('.') + info.object;
    s += QStringLiteral("\n错误事件: ") + info.event;
    s += QStringLiteral("\n错误行: ") + QString::number(info.line);
    s += QStringLiteral("\n错误描述: ") + info.description;
    return s;
}

QString systemErrorMessage(const QString &errorText)
{
    return QStringLiteral("系统出现错误!错误信息如下:\n") + errorText
        + QStringLiteral("\n\n错误信息已经复制到剪贴板,请将此信息反馈给作者");
}
