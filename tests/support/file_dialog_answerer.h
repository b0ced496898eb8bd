// Answers file dialogs in tests: each QFileDialog that opens takes the next queued answer (a path,
// or cancel) from a timer, so the code under test runs its real exec(). Every dialog is recorded.
// With nothing queued a dialog is cancelled (and recorded as unexpected).
#pragma once

#include <QFileDialog>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <optional>
#include <vector>

namespace tarn::test {

struct SeenFileDialog {
    QString title;
    QStringList nameFilters;
    QString directory;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    bool expected = true; // an answer was queued for it
};

class FileDialogAnswerer : public QObject {
    Q_OBJECT
  public:
    FileDialogAnswerer();
    ~FileDialogAnswerer() override;

    // The next dialog chooses this path (absolute).
    void choose(const QString& path) { answers_.push_back(Answer{path, {}}); }
    // The next dialog has this entry of its filter list picked, as a user picks it with the
    // keyboard, and then chooses the path.
    void choose(const QString& path, const QString& filter) {
        answers_.push_back(Answer{path, filter});
    }
    // The next dialog is cancelled.
    void cancel() { answers_.emplace_back(std::nullopt); }

    const std::vector<SeenFileDialog>& seen() const { return seen_; }
    int unexpected() const;
    void clear() { seen_.clear(); }

  private:
    void poll();

    struct Answer {
        QString path;
        QString filter; // empty: the one the dialog opened with
    };
    QTimer timer_;
    std::deque<std::optional<Answer>> answers_;
    std::vector<SeenFileDialog> seen_;
};

} // namespace tarn::test
