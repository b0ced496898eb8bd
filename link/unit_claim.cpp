#include "link/unit_claim.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <unistd.h>

namespace tarn {

namespace {

QString runtimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QFileInfo(xdg).isDir()) return xdg;
    // QStandardPaths would warn on every start of the command line when the variable is not set
    // (a root shell, a cron job); the same fallback without the warning.
    const QString own = QDir::tempPath() + QStringLiteral("/tarn80x-%1").arg(getuid());
    QDir().mkpath(own);
    QFile::setPermissions(own,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
}

} // namespace

UnitClaim::UnitClaim() = default;
UnitClaim::~UnitClaim() = default;

QString UnitClaim::lockPath(const std::string& path) {
    QString name = QString::fromStdString(path);
    for (QChar& c : name)
        if (!c.isLetterOrNumber()) c = QLatin1Char('_');
    return runtimeFolder() + QStringLiteral("/tarn80x-") + name + QStringLiteral(".lock");
}

bool UnitClaim::take(const std::string& path) {
    if (lock_ && path == path_) return true;
    release();
    auto lock = std::make_unique<QLockFile>(lockPath(path));
    // A transfer can hold the unit for minutes (a firmware upgrade): only a dead holder makes a
    // lock stale, never its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        qint64 pid = 0;
        QString host, app;
        holder_.clear();
        if (lock->getLockInfo(&pid, &host, &app))
            holder_ = QStringLiteral("%1 (PID %2)")
                          .arg(app.isEmpty() ? QStringLiteral("?") : app)
                          .arg(pid);
        return false;
    }
    lock_ = std::move(lock);
    path_ = path;
    holder_.clear();
    return true;
}

void UnitClaim::release() {
    lock_.reset(); // unlocks
    path_.clear();
}

} // namespace tarn
