#pragma once
// A process-wide file-size limit for the span of a scope: every write past it fails with
// EFBIG, as a full disk makes writes fail with ENOSPC — a failure any test can arrange
// without root. SIGXFSZ is ignored so that the write fails instead of ending the process.

#include <csignal>
#include <sys/resource.h>

namespace testsupport {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
};

} // namespace testsupport
