// What the window and the command line share around a transfer: reading the file it takes with
// every check, and the time the unit is given after it before it is read back.
#pragma once

#include "model/param_image.h"
#include "session/file_io.h"
#include "session/text.h"

#include <QByteArray>
#include <QString>

namespace tarn {

// Ticks after a single-scene load until the unit is opened again and read back.
constexpr uint16_t kSingleLoadReconnectTicks = 10;
// After a scene recall, likewise.
constexpr uint16_t kRecallReconnectTicks = 100;
// After a firmware upgrade the unit installs the image and is left alone meanwhile: the five
// seconds the user is told of.
constexpr uint16_t kInstallTicks = 2500;

// A file read for a transfer: its bytes, or why it was refused (both languages).
struct FileLoad {
    QByteArray data;
    qint64 size = 0; // the file's length (data may be cut short at the read limit)
    BilingualText refusal;
    // Said to the user when the load goes ahead: what was changed on the way (gains limited).
    BilingualText notice;
    bool ok() const { return refusal.en.isEmpty(); }
};

// The notice for a file that could not be read; empty for ReadProblem::None. unreadable: the
// words for a file that cannot be opened or read.
BilingualText Read_Problem_Text(ReadProblem problem, const Bilingual& unreadable);

// A "*.SCE" (allScenes false) or "*.ALL" file, read and checked as a load into the unit checks it.
// Gains an earlier version stored beyond +-12 dB are limited first, and the notice says so.
FileLoad Load_Scene_File(const QString& path, bool allScenes);
// A firmware image, read whole and checked (signature, size).
FileLoad Load_Firmware_File(const QString& path);

bool Is_Scene_File_Name(const QString& path); // "*.SCE"
bool Is_All_File_Name(const QString& path);   // "*.ALL"
bool Is_Tune_Text_Name(const QString& path);  // "*.json"
// One scene in the "*.SCE" encoding from a scene file or a tune text, checked as the scene-file
// load checks it; data holds the 4096 bytes. The content tells the two apart, whatever the name
// (scene files are often saved without their suffix, and a scene's first byte may well be '{'):
// a JSON object (UTF-8 or UTF-16, with or without a byte-order mark) is read as a tune text, any
// other 4096 bytes as a scene file. A file that is neither is refused as a tune text when it is
// named "*.json" or, not named "*.SCE", opens with '{'; else as a scene file.
FileLoad Load_Tune_File(const QString& path);

// The scene image as bytes, and back (the caller has checked the size).
QByteArray Scene_Bytes(const ParamImage::Bytes& image);
ParamImage::Bytes Scene_Image(const QByteArray& data);

} // namespace tarn
