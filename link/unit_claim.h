// One program at a time holds the unit. The window and the command line both talk to the unit
// through its hidraw node, which the kernel lets several programs open at once: each would then
// read the other's answers. So whoever opens the unit first takes a lock file named after the
// unit's device path, in the user's runtime folder, until it closes the unit; the other is told
// who holds it. A lock left by a program that died is taken over (QLockFile checks its process).
#pragma once

#include <QString>
#include <memory>
#include <string>

class QLockFile;

namespace tarn {

class UnitClaim {
  public:
    UnitClaim();
    ~UnitClaim();
    UnitClaim(const UnitClaim&) = delete;
    UnitClaim& operator=(const UnitClaim&) = delete;

    // Takes the lock of the unit at path (kept when it is held for that path already). False when
    // another program holds it; holder() then names that program and its process.
    bool take(const std::string& path);
    void release();
    bool held() const { return lock_ != nullptr; }
    const QString& holder() const { return holder_; }

    // The lock file of a unit: <runtime folder>/tarn80x-<path with every character but letters
    // and digits as '_'>.lock. The runtime folder is $XDG_RUNTIME_DIR, or a folder of the user's
    // own in the temporary folder.
    static QString lockPath(const std::string& path);

  private:
    std::unique_ptr<QLockFile> lock_;
    std::string path_;
    QString holder_;
};

} // namespace tarn
