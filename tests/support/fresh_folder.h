// A new empty folder for every test function of a suite that writes files.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace tarn::test {

class FreshFolder {
  public:
    // Call from init(): drops the previous folder with its files and makes a new one.
    bool renew() {
        dir_ = std::make_unique<QTemporaryDir>();
        return dir_->isValid();
    }
    QString path(const char* name) const { return dir_->filePath(QString::fromLatin1(name)); }
    const QTemporaryDir* operator->() const { return dir_.get(); }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace tarn::test
