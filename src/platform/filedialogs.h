#pragma once

#include <QString>

namespace platform {

struct SaveFileRequest
{
    QString title;
    QString fileName;   // suggested name
    QString extension;  // default extension without the dot
    QString filter;     // "Excel 文件 (*.xls);;CSV 文件 (*.csv)"
    QString folder;     // where the dialog starts
    // Whether the dialog asks before a chosen file that exists is replaced; off for a caller that
    // asks that question itself.
    bool confirmOverwrite = true;
};

struct OpenFileRequest
{
    QString title;
    QString filter;     // "vCard 文件 (*.vcf);;CSV 文件 (*.csv)"
    QString folder;     // where the dialog starts
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or an empty string when the user cancelled; `selectedFilter`, when given, gets
    // the filter the user left chosen (a name typed without a suffix takes that filter's suffix).
    virtual QString saveFile(const SaveFileRequest &request, QString *selectedFilter = nullptr) = 0;
    virtual QString chooseFolder(const QString &title, const QString &startFolder) = 0;
    // An existing file the user chose, or an empty string when the user cancelled.
    virtual QString openFile(const OpenFileRequest &request) = 0;
};

} // namespace platform
