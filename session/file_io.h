// Reading the files the user chooses and writing the files the application saves, so that a
// chosen pipe or device never blocks the window and a failed save never costs an earlier file.
#pragma once

#include "session/text.h"

#include <QByteArray>
#include <QString>

namespace tarn {

enum class ReadProblem { None, Unreadable, NotRegular };

// Reads at most limit bytes from the start of the file. Only a regular file is read; it is opened
// without blocking and looked at before anything is read, so a FIFO or a device is refused at
// once. size (when given) receives the file's length.
ReadProblem Read_Regular_File(const QString& path, qint64 limit, QByteArray& out,
                              qint64* size = nullptr);

enum class SaveProblem { None, DiskFull, NoPermission, Other };

struct SaveResult {
    SaveProblem problem = SaveProblem::None;
    QString detail; // the system's words for an Other failure
    bool ok() const { return problem == SaveProblem::None; }
};

// Replaces the file with the bytes only once every write, the flush and the sync to disk have
// succeeded; on any failure the earlier file stays as it was and no temporary file is left.
SaveResult Save_File_Atomically(const QString& path, const QByteArray& bytes);

// The notice for a failed save: nothing was saved, and why.
BilingualText Save_Failure_Text(const SaveResult& result);

} // namespace tarn
