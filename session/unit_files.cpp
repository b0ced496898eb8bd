#include "session/unit_files.h"

#include "dsp/decimal.h"
#include "model/scene_image.h"
#include "session/firmware_image.h"
#include "session/scene_file_format.h"
#include "session/transfer_texts.h"
#include "session/tune_text.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>
#include <utility>

namespace tarn {

namespace {

// A tune text is a few hundred kilobytes at most; anything far larger is not one.
constexpr qint64 kTuneTextLimit = 4 * 1024 * 1024;

// A scene file never is one: its zero bytes and binary values are no JSON text.
bool isJsonObject(const QByteArray& text) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    return error.error == QJsonParseError::NoError && doc.isObject();
}

FileLoad refused(const BilingualText& why) {
    FileLoad out;
    out.refusal = why;
    return out;
}

// A scene file's bytes, or an all-scenes file's, checked. Gains an earlier version stored beyond
// the range are limited before the check, so that a refusal names what is still wrong after it.
FileLoad checkedScenes(FileLoad out, bool allScenes) {
    const std::vector<LimitedGain> limited =
        Limit_Old_Gains_In_File(reinterpret_cast<uint8_t*>(out.data.data()),
                                static_cast<size_t>(out.data.size()), allScenes);
    const SceneFileVerdict verdict =
        allScenes ? Check_All_File(out.data) : Check_Scene_File(out.data);
    if (verdict.check != SceneFileCheck::Ok)
        return refused(Scene_File_Check_Text(verdict, allScenes));
    out.notice = Limited_Gains_Text(limited);
    return out;
}

} // namespace

BilingualText Read_Problem_Text(ReadProblem problem, const Bilingual& unreadable) {
    switch (problem) {
    case ReadProblem::None:
        return {};
    case ReadProblem::NotRegular:
        return Text_Of(transfer_text::FileNotRegular);
    case ReadProblem::Unreadable:
        break;
    }
    return Text_Of(unreadable);
}

FileLoad Load_Scene_File(const QString& path, bool allScenes) {
    FileLoad out;
    // One byte more than the larger kind is enough to tell every size apart.
    const ReadProblem problem = Read_Regular_File(path, kAllFileSize + 1, out.data, &out.size);
    if (problem != ReadProblem::None)
        return refused(Read_Problem_Text(problem, transfer_text::FileUnreadable));
    return checkedScenes(std::move(out), allScenes);
}

FileLoad Load_Firmware_File(const QString& path) {
    FileLoad out;
    // One byte past the largest image is enough to see a file is too large. A file that cannot be
    // read cannot supply its signature either.
    const ReadProblem problem = Read_Regular_File(path, kFirmwareMaxSize + 1, out.data, &out.size);
    if (problem != ReadProblem::None)
        return refused(Read_Problem_Text(problem, transfer_text::FirmwareNotMatch));
    switch (Check_Firmware(reinterpret_cast<const uint8_t*>(out.data.constData()),
                           static_cast<uint32_t>(out.data.size()),
                           static_cast<uint64_t>(out.size))) {
    case FirmwareCheck::NotMatch:
        return refused(Text_Of(transfer_text::FirmwareNotMatch));
    case FirmwareCheck::TooLarge:
        return refused(Text_Of(transfer_text::FirmwareTooLarge));
    case FirmwareCheck::Ok:
        break;
    }
    // The whole file, signature included, is the image.
    if (out.data.size() != out.size) return refused(Text_Of(transfer_text::FirmwareReadError));
    return out;
}

bool Is_Scene_File_Name(const QString& path) {
    return path.endsWith(QStringLiteral(".SCE"), Qt::CaseInsensitive);
}

bool Is_All_File_Name(const QString& path) {
    return path.endsWith(QStringLiteral(".ALL"), Qt::CaseInsensitive);
}

bool Is_Tune_Text_Name(const QString& path) {
    return path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
}

FileLoad Load_Tune_File(const QString& path) {
    FileLoad out;
    QByteArray data;
    const ReadProblem problem = Read_Regular_File(path, kTuneTextLimit + 1, data, &out.size);
    if (problem != ReadProblem::None)
        return refused(Read_Problem_Text(problem, transfer_text::FileUnreadable));
    const QByteArray text = utf8Text(data);
    const bool tooLarge = out.size > kTuneTextLimit;
    // Content first: a JSON object is a tune text whatever its name; 4096 bytes that are not one
    // are a scene. Only a file that is neither is refused as the kind its name (or, without a
    // suffix, its first character) says.
    bool isText = !tooLarge && isJsonObject(text);
    if (!isText && out.size != kImageSize && !Is_Scene_File_Name(path))
        isText = Is_Tune_Text_Name(path) || text.trimmed().startsWith('{');
    if (!isText) {
        out.data = data;
        return checkedScenes(std::move(out), false);
    }
    if (tooLarge) return refused(Text_Of(transfer_text::TuneTextTooLarge));
    const TuneSceneResult scene = Scene_From_Tune_Text(text);
    if (!scene.scene) {
        const Bilingual& words = transfer_text::TuneTextRefused;
        return refused({QString::fromUtf8(words.zh).arg(scene.error.zh),
                        QString::fromUtf8(words.en).arg(scene.error.en)});
    }
    out.data = Scene_Bytes(*scene.scene);
    return out;
}

QByteArray Scene_Bytes(const ParamImage::Bytes& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
}

ParamImage::Bytes Scene_Image(const QByteArray& data) {
    ParamImage::Bytes image{};
    std::copy_n(data.constData(), std::min<qsizetype>(data.size(), kImageSize),
                reinterpret_cast<char*>(image.data()));
    return image;
}

} // namespace tarn
