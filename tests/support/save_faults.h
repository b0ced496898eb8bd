// Real write failures for the save tests, that work alike as root and as a normal user.
#pragma once

#include <csignal>
#include <sys/resource.h>
#include <sys/types.h>

namespace tarn::test {

// While alive, writing a file of this process past `bytes` fails as on a full disk: the soft
// file-size limit is lowered and SIGXFSZ ignored, so the write returns EFBIG.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    struct sigaction oldAction_ {};
};

// While alive, this process checks file permissions as user and group "nobody" when it runs as
// root (root passes every permission check otherwise); as a normal user it changes nothing.
class Unprivileged {
  public:
    Unprivileged();
    ~Unprivileged();
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;
    bool ok() const { return ok_; }

  private:
    bool switched_ = false;
    bool ok_ = true;
    gid_t oldGroup_ = 0;
};

} // namespace tarn::test
