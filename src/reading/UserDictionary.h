#pragma once
// The poet's dictionary file, readings.tsv: "word<TAB>reading" a line, # for comments. It
// is the poet's own file, so the program reads it without ever waiting on it (a named pipe
// or a device is refused, a file past the size limit too, each with a message) and changes
// only the lines of the word it registers or removes: comments, other columns, duplicate
// keys, lines it does not understand and lines in another encoding stay byte for byte.

#include "reading/Lexicon.h"

#include <QString>
#include <QStringList>

namespace reading {

class UserDictionary
{
public:
    // Larger than any dictionary a person writes; a file past it is not read.
    static constexpr qint64 SizeLimit = 8 * 1024 * 1024;

    struct Loaded
    {
        Lexicon words;
        // Why the file could not be read at all; empty when it was read (or is missing).
        QString error;
        // "3 行目: 読みがありません" for each line that gave no entry.
        QStringList problems;
    };
    static Loaded load(const QString &path);

    // Registers a reading: the lines of `word` get it in their second column, or a line is
    // added at the end. Returns the reason when the file could not be read or written.
    static QString put(const QString &path, const QString &word, const QString &reading);
    // Removes the lines of `word`.
    static QString remove(const QString &path, const QString &word);
};

} // namespace reading
