// The notebook's views: its groups (also edited on the settings page), the notes of a group, and the
// search hits.

#include "views/registry.h"

#include "app/sqlerror.h"

namespace views {

using namespace build;

namespace {

// The settings page edits this table in place; the notebook reads it for its tree and drop-downs.
// A group row is found by code and name together.
Definition groups()
{
    Definition d;
    d.name = QStringLiteral("ds_pt_group");
    d.select = QStringLiteral("SELECT p_group.groupid, p_group.groupname FROM p_group ORDER BY p_group.groupid ASC");
    d.columns = {
        text(QStringLiteral("groupid"), 1, QStringLiteral("组号")).edit().update().shown(6),
        text(QStringLiteral("groupname"), 20, QStringLiteral("组名")).edit().update().shown(22),
    };
    d.updateTable = QStringLiteral("p_group");
    d.keyColumns = QStringList{QStringLiteral("groupid"), QStringLiteral("groupname")};
    return d;
}

Definition notes()
{
    Definition d;
    d.name = QStringLiteral("ds_info");
    d.select = QStringLiteral(
        "SELECT p_info.id, p_info.gid, p_info.title, p_info.content FROM p_info "
        "WHERE p_info.gid = :as_gid ORDER BY p_info.title ASC");
    d.arguments = {textArg(QStringLiteral("as_gid"))};
    d.columns = {
        integer(QStringLiteral("id"), QStringLiteral("Id")),
        text(QStringLiteral("gid"), 1, QStringLiteral("Gid")),
        text(QStringLiteral("title"), 255, QStringLiteral("Title")),
        text(QStringLiteral("content"), 32766, QStringLiteral("Content")),
    };
    return d;
}

Definition find()
{
    Definition d;
    d.name = QStringLiteral("dw_find");
    d.select = QStringLiteral(
        "SELECT p_info.id, p_info.gid, p_info.title FROM p_info "
        "WHERE (p_info.gid LIKE :as_group) AND ((p_info.title LIKE :as_title) OR (p_info.content LIKE :as_content)) "
        "ORDER BY p_info.gid ASC, p_info.title ASC");
    d.arguments = {textArg(QStringLiteral("as_group")), textArg(QStringLiteral("as_title")),
                   textArg(QStringLiteral("as_content"))};
    d.columns = {
        integer(QStringLiteral("id"), QStringLiteral("ID")).shown(6),
        text(QStringLiteral("gid"), 1, QStringLiteral("组"))
            .dropDown(QStringLiteral("ds_pt_group"), QStringLiteral("groupname"), QStringLiteral("groupid"))
            .blankUnknown()
            .shown(12),
        text(QStringLiteral("title"), 255, QStringLiteral("标题")).shown(40),
    };
    d.banding = bands();
    return d;
}

} // namespace

QList<Definition> notebookViews()
{
    return {groups(), notes(), find()};
}

void registerExtraCaptions()
{
    // Notes are written by the notebook's own statements, not through a view.
    registerColumnCaption(QStringLiteral("p_info"), QStringLiteral("gid"), QStringLiteral("组"));
    registerColumnCaption(QStringLiteral("p_info"), QStringLiteral("title"), QStringLiteral("标题"));
    registerColumnCaption(QStringLiteral("p_info"), QStringLiteral("content"), QStringLiteral("内容"));
    // The expense and income lists label the item differently; the table's caption covers both.
    registerColumnCaption(QStringLiteral("t_account"), QStringLiteral("vname"), QStringLiteral("项目"));
}

} // namespace views
