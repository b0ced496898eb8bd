// Reading and saving the files the user chooses, with the notice that says why one failed.
#pragma once

#include "session/file_io.h"

namespace tarn {

// Read_Regular_File for a file the user chose; tells the user why it could not be read (unreadable:
// the notice for a file that cannot be opened or read).
bool Read_Chosen_File(const QString& path, qint64 limit, QByteArray& out,
                      const Bilingual& unreadable, qint64* size = nullptr);

// Saves, and tells the user when that failed. Returns whether the file was written.
bool Save_File_Or_Tell(const QString& path, const QByteArray& bytes);

} // namespace tarn
