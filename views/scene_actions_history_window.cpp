#include "views/scene_actions_history_window.h"

#include "link/link_machine.h"
#include "model/param_image.h"
#include "model/scene_image.h"
#include "session/history_recorder.h"
#include "session/history_texts.h"
#include "session/scene_file_format.h"
#include "session/transfer_texts.h"
#include "session/tune_diff.h"
#include "session/tune_text.h"
#include "session/unit_files.h"
#include "views/scene_actions.h"
#include "views/scene_actions_transfer.h"
#include "widgets/file_dialog.h"
#include "widgets/file_notices.h"
#include "widgets/notice.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tarn {

namespace {

void tellNotChanged(const HistoryResult& result) {
    if (result.ok()) return;
    Show_Notice(BilingualText{Fill_Text(history_text::NotChanged, {result.error.zh}).zh,
                              Fill_Text(history_text::NotChanged, {result.error.en}).en});
}

} // namespace

HistoryWindow::HistoryWindow(SceneActions& view, QWidget* parent)
    : QDialog(parent), view_(view), english_(Pc.Lang_EN != 0) {
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(tr2(history_text::Title, english_));
    resize(900, 600);

    list_ = new QTableWidget(this);
    list_->setObjectName(QStringLiteral("HistoryList"));
    list_->setColumnCount(6);
    QStringList headers;
    for (const Bilingual& column : history_text::Columns)
        headers.append(tr2(column, english_));
    list_->setHorizontalHeaderLabels(headers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("HistoryDiffHeading"));
    diff_ = new QPlainTextEdit(this);
    diff_->setObjectName(QStringLiteral("HistoryDiff"));
    diff_->setReadOnly(true);

    note_ = new QLineEdit(this);
    note_->setObjectName(QStringLiteral("HistoryNote"));
    note_->setPlaceholderText(tr2(history_text::NotePlaceholder, english_));
    auto button = [this](const char* name, const Bilingual& text) {
        auto* b = new QPushButton(tr2(text, english_), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    saveNote_ = button("HistorySaveNote", history_text::SaveNote);
    pin_ = button("HistoryPin", history_text::Pin);
    restore_ = button("HistoryRestore", history_text::Restore);
    saveScene_ = button("HistorySaveScene", history_text::SaveScene);
    saveText_ = button("HistorySaveText", history_text::SaveText);
    QPushButton* close = button("HistoryClose", history_text::Close);

    auto* noteRow = new QHBoxLayout;
    noteRow->addWidget(note_, 1);
    noteRow->addWidget(saveNote_);
    noteRow->addWidget(pin_);
    auto* actions = new QHBoxLayout;
    actions->addWidget(restore_);
    actions->addWidget(saveScene_);
    actions->addWidget(saveText_);
    actions->addStretch(1);
    actions->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 3);
    layout->addLayout(noteRow);
    layout->addWidget(heading_);
    layout->addWidget(diff_, 2);
    layout->addLayout(actions);

    connect(list_, &QTableWidget::itemSelectionChanged, this, [this] {
        showDiff();
        updateButtons();
    });
    connect(saveNote_, &QPushButton::clicked, this, &HistoryWindow::saveNote);
    connect(pin_, &QPushButton::clicked, this, &HistoryWindow::togglePin);
    connect(restore_, &QPushButton::clicked, this, &HistoryWindow::restore);
    connect(saveScene_, &QPushButton::clicked, this, &HistoryWindow::saveScene);
    connect(saveText_, &QPushButton::clicked, this, &HistoryWindow::saveText);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(&History_Recorder(), &HistoryRecorder::recorded, this, &HistoryWindow::reload);
    // The unit now is what one snapshot is compared with.
    connect(&Link_Machine(), &LinkMachine::readbackComplete, this, &HistoryWindow::showDiff);
    connect(&Link_Machine(), &LinkMachine::statusChanged, this, &HistoryWindow::updateButtons);
    reload();
}

void HistoryWindow::reload() {
    QList<int> keep;
    for (const SnapshotRecord& r : selected())
        keep.append(r.id);
    // Read from disk each time: without a unit nothing has opened the history yet, and the
    // command line or another window may have added to it since.
    HistoryRecorder& recorder = History_Recorder();
    if (recorder.store().root().isEmpty())
        recorder.open();
    else
        recorder.store().open();
    rows_ = Snapshots_By_Unit(recorder.store().snapshots());
    QSignalBlocker block(list_);
    list_->setUpdatesEnabled(false);
    list_->clearContents();
    list_->setRowCount(static_cast<int>(rows_.size()));
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        const SnapshotRecord& r = rows_[static_cast<size_t>(row)];
        const QString cells[6] = {Snapshot_Stamp(r),
                                  r.unit.shown().in(english_),
                                  Snapshot_Reason_Text(r.reason).in(english_),
                                  r.changed < 0 ? tr2(history_text::FirstOfUnit, english_)
                                                : QString::number(r.changed),
                                  r.pinned ? tr2(history_text::PinMark, english_) : QString(),
                                  r.note};
        for (int column = 0; column < 6; ++column)
            list_->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (keep.contains(r.id)) list_->selectRow(row);
    }
    list_->resizeColumnsToContents();
    list_->setUpdatesEnabled(true);
    showDiff();
    updateButtons();
}

std::vector<SnapshotRecord> HistoryWindow::selected() const {
    std::vector<SnapshotRecord> out;
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row)
        if (list_->selectionModel()->isRowSelected(row, QModelIndex()))
            out.push_back(rows_[static_cast<size_t>(row)]);
    // Rows are grouped by unit, so the table's order is not the order of time.
    std::sort(out.begin(), out.end(),
              [](const SnapshotRecord& a, const SnapshotRecord& b) { return a.id < b.id; });
    return out;
}

QString HistoryWindow::diffText() const {
    return diff_->toPlainText();
}

std::optional<ParamImage::Bytes> HistoryWindow::imageOf(const SnapshotRecord& record) const {
    return History_Recorder().store().image(record.image);
}

// The image of the one snapshot chosen; the user is told when its file is damaged or gone.
std::optional<ParamImage::Bytes> HistoryWindow::chosenImage() const {
    const std::vector<SnapshotRecord> chosen = selected();
    if (chosen.size() != 1) return std::nullopt;
    auto image = imageOf(chosen[0]);
    if (!image) Show_Notice(history_text::ImageMissing);
    return image;
}

void HistoryWindow::showDiff() {
    const std::vector<SnapshotRecord> chosen = selected();
    if (chosen.empty() || chosen.size() > 2) {
        heading_->setText(tr2(history_text::ChooseSnapshot, english_));
        diff_->clear();
        return;
    }
    const auto before = imageOf(chosen[0]);
    std::optional<ParamImage::Bytes> after;
    BilingualText heading;
    if (chosen.size() == 2) {
        after = imageOf(chosen[1]);
        heading = Fill_Text(history_text::AgainstEachOther,
                            {Snapshot_Stamp(chosen[0]), Snapshot_Stamp(chosen[1])});
    } else {
        after = Scene_File_From_Mirror(Param_Image);
        heading = Fill_Text(Link_Machine().statusLevel() == 2 ? history_text::AgainstUnit
                                                              : history_text::AgainstPcCopy,
                            {Snapshot_Stamp(chosen[0])});
    }
    heading_->setText(english_ ? heading.en : heading.zh);
    if (!before || !after) {
        diff_->setPlainText(tr2(history_text::ImageMissing, english_));
        return;
    }
    const TuneDiff diff = Diff_Scenes(*before, *after);
    diff_->setPlainText(diff.empty() ? tr2(history_text::NoDifference, english_)
                                     : diff.lines(english_).join(QLatin1Char('\n')));
}

void HistoryWindow::updateButtons() {
    const std::vector<SnapshotRecord> chosen = selected();
    const bool one = chosen.size() == 1;
    restore_->setEnabled(one && Link_Machine().statusLevel() == 2);
    saveScene_->setEnabled(one);
    saveText_->setEnabled(one);
    pin_->setEnabled(one);
    saveNote_->setEnabled(one);
    note_->setEnabled(one);
    if (one) {
        pin_->setText(tr2(chosen[0].pinned ? history_text::Unpin : history_text::Pin, english_));
        note_->setText(chosen[0].note);
    }
}

void HistoryWindow::togglePin() {
    const std::vector<SnapshotRecord> chosen = selected();
    if (chosen.size() != 1) return;
    tellNotChanged(History_Recorder().store().setPinned(chosen[0].id, !chosen[0].pinned));
    reload();
}

void HistoryWindow::saveNote() {
    const std::vector<SnapshotRecord> chosen = selected();
    if (chosen.size() != 1) return;
    tellNotChanged(History_Recorder().store().setNote(chosen[0].id, note_->text()));
    reload();
}

void HistoryWindow::saveScene() {
    const auto image = chosenImage();
    if (!image) return;
    const QString path = Ask_File_Name(FileDialogMode::Save, history_text::SaveSceneTitle,
                                       transfer_text::SingleFilter, "SCE");
    if (!path.isEmpty() && Save_File_Or_Tell(path, Scene_Bytes(*image))) emit view_.savedTo(path);
}

void HistoryWindow::saveText() {
    const auto image = chosenImage();
    if (!image) return;
    const TuneTextResult text = Tune_Text_From_Scene(*image);
    if (text.text.isEmpty()) {
        Show_Notice(text.error);
        return;
    }
    const QString path = Ask_File_Name(FileDialogMode::Save, history_text::SaveTextTitle,
                                       history_text::TextFilter, "json");
    if (!path.isEmpty() && Save_File_Or_Tell(path, text.text)) emit view_.savedTo(path);
}

// As a scene file is loaded: the same checks and the same transfer, the unit snapshotted first
// and read back after.
void HistoryWindow::restore() {
    const std::vector<SnapshotRecord> chosen = selected();
    const auto image = chosenImage();
    if (!image) return;
    const QByteArray file = Scene_Bytes(*image);
    const SceneFileVerdict verdict = Check_Scene_File(file);
    if (verdict.check != SceneFileCheck::Ok) {
        Show_Notice(Scene_File_Check_Text(verdict, false));
        return;
    }
    if (!view_.transfer().mayStart(nullptr)) return;
    if (!Ask_Question_Default_No(
            Fill_Text(history_text::RestoreQuestion, {Snapshot_Stamp(chosen[0])})))
        return;
    if (!Link_Machine().readyForTransfer()) { // the link may have changed while the box was open
        Show_Notice(transfer_text::NotConnected);
        return;
    }
    view_.sceneImageLoad(file, SnapshotReason::Restore);
}

} // namespace tarn
