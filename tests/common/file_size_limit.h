#pragma once

#include <csignal>
#include <sys/resource.h>

/// Cuts this process's file writes short at the given size, as a full disk would, while it lives.
/// A write past the limit fails with EFBIG instead of ending the process.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes) : m_oldHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_normal);
        rlimit small = m_normal;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_normal);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

  private:
    void (*m_oldHandler)(int);
    rlimit m_normal{};
};
