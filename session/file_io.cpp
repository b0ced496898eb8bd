#include "session/file_io.h"

#include "session/diag.h"
#include "session/transfer_texts.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarn {

namespace {

SaveProblem classify(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: // past the process's file-size limit: no room for it either
        return SaveProblem::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return SaveProblem::NoPermission;
    default:
        return SaveProblem::Other;
    }
}

SaveResult failed(const QString& path, const QSaveFile& file, int error, const char* step) {
    SaveResult r;
    r.problem = classify(error);
    // An existing file that may not be written is refused by the save itself, with no errno.
    const QFileInfo target(path);
    if (std::strcmp(step, "open") == 0 && target.isFile() && !target.isWritable())
        r.problem = SaveProblem::NoPermission;
    r.detail = error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : file.errorString();
    TARN_DIAG((QStringList{QStringLiteral("save failed:"), path, QString::fromLatin1(step),
                           QString::number(error), r.detail}));
    return r;
}

} // namespace

ReadProblem Read_Regular_File(const QString& path, qint64 limit, QByteArray& out, qint64* size) {
    out.clear();
    if (path.isEmpty()) return ReadProblem::Unreadable;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return ReadProblem::Unreadable;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool regular = S_ISREG(st.st_mode);
        ::close(fd);
        return regular ? ReadProblem::Unreadable : ReadProblem::NotRegular;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return ReadProblem::Unreadable;
    }
    out = file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        out.clear();
        return ReadProblem::Unreadable;
    }
    if (size) *size = static_cast<qint64>(st.st_size);
    return ReadProblem::None;
}

SaveResult Save_File_Atomically(const QString& path, const QByteArray& bytes) {
    // Unbuffered, so every write reaches the file at once and its failure shows here rather than
    // inside commit().
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(path, file, errno, "open");
    qint64 done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) return failed(path, file, errno != 0 ? errno : EIO, "write");
        done += n;
    }
    errno = 0;
    if (!file.flush()) return failed(path, file, errno != 0 ? errno : EIO, "flush");
    if (::fsync(file.handle()) != 0) return failed(path, file, errno, "sync");
    errno = 0;
    if (!file.commit()) return failed(path, file, errno, "commit");
    return {};
}

BilingualText Save_Failure_Text(const SaveResult& result) {
    switch (result.problem) {
    case SaveProblem::DiskFull:
        return Text_Of(transfer_text::FileNotSavedDiskFull);
    case SaveProblem::NoPermission:
        return Text_Of(transfer_text::FileNotSavedNoPermission);
    case SaveProblem::Other:
    case SaveProblem::None:
        break;
    }
    return Fill_Text(transfer_text::FileNotSaved, {result.detail});
}

} // namespace tarn
