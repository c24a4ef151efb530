#pragma once
// Shared by the fuzz targets: a broken property aborts, so that libFuzzer keeps the input as
// a crash, and parsers that read a path get the input through a file in a private folder.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <stdlib.h>

namespace fuzz {

[[noreturn]] inline void fail(const char *property)
{
    std::fprintf(stderr, "\n*** property broken: %s\n", property);
    std::abort();
}

inline void require(bool holds, const char *property)
{
    if (!holds)
        fail(property);
}

// A folder of this process's own under $TMPDIR (scripts/fuzz.sh points that at memory when
// it can: the settings writer syncs every save), removed when the run ends normally.
inline const std::string &scratchFolder()
{
    static const std::string folder = [] {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kotonami-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            fail("a scratch folder can be made");
        return pattern;
    }();
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
        return true;
    }();
    (void)cleanup;
    return folder;
}

inline QString scratchPath(const char *name)
{
    return QString::fromStdString(scratchFolder() + "/" + name);
}

// Replaces the file with exactly these bytes.
inline void putFile(const QString &path, const uint8_t *data, size_t size)
{
    const QByteArray name = path.toLocal8Bit();
    std::FILE *f = std::fopen(name.constData(), "wb");
    if (!f)
        fail("the input file can be written");
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written)
        fail("the input file can be written");
}

} // namespace fuzz
