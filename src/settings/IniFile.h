#pragma once
// The settings file: a Windows-style INI file in code page 932, read and written one key at
// a time. Every call opens the file afresh: a read parses the file as it is now, a write
// reads it, changes the one line and replaces the whole file atomically (a temporary file
// renamed over it), so a crash leaves either the old file or the new one, never a part.
//
// The format, as other INI readers (Windows' private-profile calls, Python's configparser
// with interpolation off) expect it:
//     [Form\MainForm1]
//     Width=780
//     ; a comment
// Section and key names compare without regard to letter case; the first section of a
// name and the first key of a name in it win. Spaces and tabs around keys and values are
// not part of them, and one pair of enclosing quotes (" or ') is stripped from a value, so
// a value that starts or ends with a blank, or is itself quoted, is written in double
// quotes: " Lightgrey" is stored as
//     string=" Lightgrey"
// Everything a write does not touch (other sections and keys, comments, blank lines, line
// order, line ends, even bytes that are not code page 932) is written back byte for byte.
// A file of any bytes at all parses; lines that are neither a section header, a key nor a
// comment are kept and ignored.

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace settings {

struct IniEntry
{
    QString key;
    QString value;
};

class IniFile
{
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    // The value, or nullopt when the file, the section or the key is missing. A key that is
    // present with nothing after "=" has the empty value.
    std::optional<QString> value(QStringView section, QStringView key) const;
    QString readString(QStringView section, QStringView key, const QString &defaultValue) const;

    // Every key of the section in file order (all sections of that name, duplicates kept).
    QList<IniEntry> sectionEntries(QStringView section) const;

    // False when nothing was written: a name or value the format cannot hold (a line break
    // in any of them, "]" in a section name, "=" in a key, a key that would read as a
    // comment or header, blanks around a name), a value code page 932 cannot hold (it is
    // never stored with stand-in characters), an existing file that cannot be read (writing
    // would lose its other keys), or a failed write. The file is then unchanged.
    bool writeString(QStringView section, QStringView key, QStringView value);

    // Removes every line of the key in every section of that name; the section header stays.
    // True when the file holds no such key afterwards.
    bool deleteKey(QStringView section, QStringView key);

private:
    QString m_path;
};

// Gathers the writes to one settings file. While a batch of a path is open (on this
// thread), every IniFile of that path reads and writes a copy in memory, and the file is
// written once, through the one safe write, when the batch is committed: saving all the
// settings flushes the disk once instead of once per key. A batch not committed writes
// on destruction, ignoring failure.
class IniBatch
{
public:
    explicit IniBatch(const QString &path);
    ~IniBatch();
    IniBatch(const IniBatch &) = delete;
    IniBatch &operator=(const IniBatch &) = delete;

    // True when nothing changed or the file now holds the changes; otherwise `error` says why.
    bool commit(QString *error = nullptr);

private:
    QString m_path;
    bool m_done = false;
};

// A file path as the settings file stores it. A path code page 932 can hold is stored as it
// is, so older readers find it; any other is stored as a file URL with its UTF-8 bytes
// percent-encoded ("/home/u/café.txt" -> "file:///home/u/caf%C3%A9.txt"), which is plain
// ASCII. A stored value that does not start with "file:" is a path as it stands, so paths
// from older settings files read back unchanged.
QString storedPathValue(const QString &path);
QString pathFromStoredValue(const QString &value);

// Where the settings file lives: beside the program, named after it with ".ini"
// ("/home/u/kotonami/kotonami" -> "/home/u/kotonami/kotonami.ini", "a/b.bin" -> "a/b.ini"),
// for a program outside /usr and /opt whose folder is writable or where a file this user
// may write already exists; otherwise the same name in the folder "kotonami" of
// $XDG_CONFIG_HOME (of ~/.config when that is unset or not an absolute path).
QString settingsFilePath(const QString &programPath);
QString settingsFilePath(const QString &programPath, const QString &xdgConfigHome);

} // namespace settings
