#include "tests/support/file_dialog_answerer.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <algorithm>

namespace tarn::test {

FileDialogAnswerer::FileDialogAnswerer() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &FileDialogAnswerer::poll);
    timer_.start();
}

FileDialogAnswerer::~FileDialogAnswerer() {
    timer_.stop();
}

int FileDialogAnswerer::unexpected() const {
    return static_cast<int>(std::count_if(seen_.begin(), seen_.end(),
                                          [](const SeenFileDialog& d) { return !d.expected; }));
}

void FileDialogAnswerer::poll() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    SeenFileDialog seen;
    seen.title = dialog->windowTitle();
    seen.nameFilters = dialog->nameFilters();
    seen.directory = dialog->directory().absolutePath();
    seen.acceptMode = dialog->acceptMode();
    seen.expected = !answers_.empty();
    seen_.push_back(seen);

    std::optional<Answer> answer;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    if (!answer) {
        dialog->reject();
        return;
    }
    // done() rather than accept(): no overwrite question and no check that the file exists, so a
    // test can also hand over a path the dialog itself would not let through.
    if (!answer->filter.isEmpty()) {
        auto* kinds = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int k = 0; kinds && k < kinds->count() && kinds->currentText() != answer->filter; ++k)
            QTest::keyClick(kinds, Qt::Key_Down);
    }
    dialog->selectFile(answer->path);
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
}

} // namespace tarn::test
