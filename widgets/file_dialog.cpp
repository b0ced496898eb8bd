#include "widgets/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace tarn {

namespace {

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

// The suffix a filter names first ("Tune text (*.json)" gives "json"); empty when it names none.
QString filterSuffix(const QString& filter) {
    return QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter).captured(1);
}

} // namespace

QSettings App_Settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tarn80x"),
                     QStringLiteral("tarn80x"));
}

QString Settings_Last_Folder(const QString& filter) {
    const QString folder = App_Settings().value(folderKey(filter)).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

void Settings_Remember_File(const QString& filter, const QString& path) {
    if (path.isEmpty()) return;
    App_Settings().setValue(folderKey(filter), QFileInfo(path).absolutePath());
}

QString Ask_File_Name(FileDialogMode mode, const Bilingual& title, const Bilingual& filter,
                      const char* defaultSuffix) {
    const QString pattern = tr2(filter);
    // No parent: the dialog would take on the main window's dark style sheet.
    QFileDialog dialog(nullptr, tr2(title), Settings_Last_Folder(pattern), pattern);
    dialog.setObjectName(QStringLiteral("TransferFileDialog"));
    if (mode == FileDialogMode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (defaultSuffix) {
            // A name typed without a suffix gets that of the kind chosen in the dialog, so that a
            // tune text is never written under the scene file's suffix. The dialog's own question
            // about an existing file then asks about the file that will be written.
            const QString fallback = QString::fromUtf8(defaultSuffix);
            const auto follow = [&dialog, fallback](const QString& chosen) {
                const QString suffix = filterSuffix(chosen);
                dialog.setDefaultSuffix(suffix.isEmpty() ? fallback : suffix);
            };
            follow(dialog.selectedNameFilter());
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
        }
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted) return {};
    const QString path = dialog.selectedFiles().value(0);
    Settings_Remember_File(pattern, path);
    return path;
}

} // namespace tarn
