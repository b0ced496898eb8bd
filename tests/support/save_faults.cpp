#include "tests/support/save_faults.h"

#include <unistd.h>

namespace tarn::test {

namespace {
constexpr uid_t kNobody = 65534;
} // namespace

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &oldAction_);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lowered = old_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    sigaction(SIGXFSZ, &oldAction_, nullptr);
}

Unprivileged::Unprivileged() {
    if (geteuid() != 0) return;
    oldGroup_ = getegid();
    ok_ = setegid(kNobody) == 0 && seteuid(kNobody) == 0;
    switched_ = true;
}

Unprivileged::~Unprivileged() {
    if (!switched_) return;
    if (seteuid(0) != 0 || setegid(oldGroup_) != 0) _exit(3); // the rest of the run would lie
}

} // namespace tarn::test
