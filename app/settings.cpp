#include "app/settings.h"

#include "app/tarn80x.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/output_format.h"
#include "views/outputs.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>

namespace tarn {

namespace {

constexpr char kLanguage[] = "language";
constexpr char kWindowPos[] = "window/position";
constexpr char kDelayUnit[] = "delay/unit";

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tarn80x"),
                     QStringLiteral("tarn80x"));
}

// The settings key of a file kind, from the extension in its dialog filter.
QString folderKey(const QString& filter) {
    static const struct {
        const char* extension;
        const char* key;
    } kKinds[] = {
        {"SCE", "folders/scene"}, {"ALL", "folders/allScenes"}, {"bin", "folders/firmware"}};
    const QString extension =
        QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter).captured(1);
    for (const auto& kind : kKinds)
        if (extension == QLatin1String(kind.extension)) return QString::fromLatin1(kind.key);
    return QStringLiteral("folders/other");
}

} // namespace

void Settings_Restore(Tarn80X& window) {
    QSettings s = store();
    if (s.value(kLanguage).toString() == QLatin1String("en")) window.Language_Set(1);
    if (s.value(kDelayUnit).toString() == QLatin1String("cm"))
        window.outputsStrip().setDelayUnit(kDelayUnitCm);
    const QPoint pos = s.value(kWindowPos).toPoint();
    // Only onto a screen that is still there: a monitor may have gone since.
    if (s.contains(kWindowPos) && QGuiApplication::screenAt(pos + QPoint(40, 20))) window.move(pos);
}

void Settings_Save(const Tarn80X& window) {
    QSettings s = store();
    s.setValue(kLanguage, Pc.Lang_EN ? QStringLiteral("en") : QStringLiteral("zh"));
    s.setValue(kDelayUnit,
               Chan.Delay_Unit == kDelayUnitCm ? QStringLiteral("cm") : QStringLiteral("ms"));
    s.setValue(kWindowPos, window.pos());
}

QString Settings_Last_Folder(const QString& filter) {
    const QString folder = store().value(folderKey(filter)).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void Settings_Remember_File(const QString& filter, const QString& path) {
    if (path.isEmpty()) return;
    store().setValue(folderKey(filter), QFileInfo(path).absolutePath());
}

std::array<QString, 6> Settings_Distances() {
    const QSettings s = store();
    std::array<QString, 6> texts;
    for (size_t ch = 0; ch < texts.size(); ++ch)
        texts[ch] = s.value(QStringLiteral("distance/ch%1").arg(ch + 1)).toString();
    return texts;
}

void Settings_Save_Distances(const std::array<QString, 6>& texts) {
    QSettings s = store();
    for (size_t ch = 0; ch < texts.size(); ++ch)
        s.setValue(QStringLiteral("distance/ch%1").arg(ch + 1), texts[ch]);
}

} // namespace tarn
