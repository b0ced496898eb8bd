// The History window: every unit's snapshots kept on this machine, grouped by unit and newest
// first, online or not; one against the unit now or two against
// each other in words; restore one into the unit; save one as a scene file or as text; pin one;
// a note on each. Usable offline (against the PC copy then); restoring needs the unit.
#pragma once

#include "session/history_store.h"

#include <QDialog>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tarn {

class SceneActions;

class HistoryWindow : public QDialog {
    Q_OBJECT

  public:
    // The view restores through its scene load and says where a snapshot was saved.
    explicit HistoryWindow(SceneActions& view, QWidget* parent = nullptr);

    // The list again from the store (after a new snapshot, a pin, a note).
    void reload();
    // Selected snapshots, oldest first.
    std::vector<SnapshotRecord> selected() const;
    // The difference text now shown.
    QString diffText() const;

  private:
    void showDiff();
    void restore();
    void saveScene();
    void saveText();
    void togglePin();
    void saveNote();
    void updateButtons();
    std::optional<ParamImage::Bytes> imageOf(const SnapshotRecord& record) const;
    std::optional<ParamImage::Bytes> chosenImage() const;

    SceneActions& view_;
    bool english_ = false; // the language the window was built in; it keeps it while open
    std::vector<SnapshotRecord> rows_; // by unit, newest first, as the table shows them
    QTableWidget* list_ = nullptr;
    QPlainTextEdit* diff_ = nullptr;
    QLabel* heading_ = nullptr;
    QLineEdit* note_ = nullptr;
    QPushButton* restore_ = nullptr;
    QPushButton* saveScene_ = nullptr;
    QPushButton* saveText_ = nullptr;
    QPushButton* pin_ = nullptr;
    QPushButton* saveNote_ = nullptr;
};

} // namespace tarn
