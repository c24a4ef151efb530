#pragma once
// kotonami-tool's page commands: "page" (the vertical page of a poem), "longpage" (the
// long-text page of a text) and "insert --into PAGE" (the poem's table inserted into a
// page file). Style values, check boxes, the link and the heading and title come from a
// settings file in the editor's own format (--settings INI) or, without one, are those
// of a fresh installation with an empty heading and title.

#include <QIODevice>
#include <QStringList>
#include <QTextStream>

namespace html {

bool isBatchPageCommand(const QString &command);
QString batchPageCommandsHelp();
// args[0] is the command. Returns the exit status: 0 done (--help: the usage on out),
// 1 unreadable or empty input, unwritable output or no insertion point, 2 bad usage; each
// failure with one line on err.
int runBatchPage(const QStringList &args, QIODevice &in, QIODevice &out, QTextStream &err);

} // namespace html
