#include "app/systemerror.h"

#include <string_view>

namespace {

// Splits a compiler signature such as "void u_telpro::cb_3_clicked(int)" into class and function.
void splitSignature(std::string_view sig, QString *cls, QString *fn)
{
    const auto paren = sig.find('(');
    std::string_view head = sig.substr(0, paren);
    const auto space = head.rfind(' ');
    if (space != std::string_view::npos)
        head = head.substr(space + 1);
    const auto colons = head.rfind("::");
    if (colons == std::string_view::npos) {
        *fn = QString::fromUtf8(head.data(), qsizetype(head.size()));
        return;
    }
    std::string_view scope = head.substr(0, colons);
    const auto outer = scope.rfind("::");
    if (outer != std::string_view::npos)
        scope = scope.substr(outer + 2);
    *cls = QString::fromUtf8(scope.data(), qsizetype(scope.size()));
    const std::string_view name = head.substr(colons + 2);
    *fn = QString::fromUtf8(name.data(), qsizetype(name.size()));
}

} // namespace

MivoError::MivoError(const QString &description, std::source_location where)
    : std::runtime_error(description.toStdString())
    , m_description(description)
    , m_line(long(where.line()))
{
    splitSignature(where.function_name(), &m_class, &m_function);
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
