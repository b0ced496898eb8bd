#include "tuning/tuning_actions.h"

#include "dsp/measurement.h"
#include "model/commands.h"
#include "session/auto_eq.h"
#include "session/edit_session.h"
#include "session/filter_file.h"
#include "session/tuning_texts.h"
#include "tuning/auto_eq_form.h"
#include "tuning/distance_form.h"
#include "widgets/file_dialog.h"
#include "widgets/file_notices.h"
#include "widgets/notice.h"

#include <QAction>
#include <QInputDialog>
#include <QPointer>

namespace tarn {

namespace {

// Asks for a file to open and reads it, up to limit bytes. False when cancelled, or when it cannot
// be read or is larger (the user has been told).
bool Open_Text_File(const Bilingual& title, const Bilingual& filter, qint64 limit,
                    QByteArray& bytes) {
    const QString path = Ask_File_Name(FileDialogMode::Open, title, filter);
    if (path.isEmpty()) return false;
    qint64 size = 0;
    if (!Read_Chosen_File(path, limit, bytes, txt::FileUnreadable, &size)) return false;
    if (size > limit) {
        Show_Notice(txt::FileTooLarge);
        return false;
    }
    return true;
}

// Which of a filter file's channels to import into channel ch: asked when there are several (the
// one that fits ch's role first). False when the user cancels.
bool Choose_File_Channel(const QStringList& channels, int ch, QString& chosen) {
    QStringList offered = channels;
    const int preferred = Preferred_Channel(channels, Param_Image.CH_Name(ch));
    if (preferred > 0) offered.move(preferred, 0);
    if (offered.size() == 1) {
        chosen = offered.front();
        return true;
    }
    QInputDialog dialog;
    dialog.setObjectName(QStringLiteral("FilterChannelDialog"));
    dialog.setWindowTitle(tr2(txt::FilterDialogTitle));
    dialog.setLabelText(tr2(txt::FilterChooseChannel).arg(Channel_Role_Label(ch, Pc.Lang_EN != 0)));
    dialog.setComboBoxItems(offered);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(offered.front());
    if (dialog.exec() != QDialog::Accepted) return false;
    chosen = dialog.textValue();
    return offered.contains(chosen);
}

// A notice with one number put into both languages' text.
void Show_Notice_Arg(const Bilingual& text, int arg) {
    Show_Notice(Fill_Text(text, {QString::number(arg)}));
}

} // namespace

TuningActions::TuningActions(EditSession& session_, QWidget* window)
    : QObject(window), session(session_) {
    using Action = void (TuningActions::*)();
    static constexpr Action kSlots[] = {
        &TuningActions::importMeasurement, &TuningActions::clearMeasurement,
        &TuningActions::importEqFilters, &TuningActions::alignDistances, &TuningActions::autoEq};
    for (size_t i = 0; i < entry.size(); ++i) {
        entry[i] = new QAction(this);
        connect(entry[i], &QAction::triggered, this, kSlots[i]);
    }
    showTexts(Pc.Lang_EN != 0);
}

void TuningActions::showTexts(bool english) {
    entry[0]->setText(tr2(txt::ImportMeasurement, english));
    entry[1]->setText(tr2(txt::ClearMeasurement, english));
    entry[2]->setText(tr2(txt::ImportEqFilters, english));
    entry[3]->setText(tr2(txt::DistanceAlignment, english));
    entry[4]->setText(tr2(txt::AutoEq, english));
}

// ---- measurement ----

void TuningActions::importMeasurement() {
    const uint8_t ch = Pc.Cur_CH;
    QByteArray bytes;
    if (!Open_Text_File(txt::MeasurementDialogTitle, txt::MeasurementFilter, kMeasurementMaxBytes,
                        bytes))
        return;
    MeasurementRead read = Read_Measurement(bytes);
    if (read.error == MeasurementRead::Error::BadLine) {
        Show_Notice_Arg(txt::MeasurementBadLine, read.badLine);
        return;
    }
    if (read.error == MeasurementRead::Error::AmbiguousComma) {
        Show_Notice_Arg(txt::MeasurementAmbiguousComma, read.badLine);
        return;
    }
    if (read.error == MeasurementRead::Error::GroupedThousands) {
        Show_Notice_Arg(txt::MeasurementGroupedThousands, read.badLine);
        return;
    }
    Measurement m;
    std::vector<MeasuredPoint> points = read.points;
    if (read.error == MeasurementRead::Error::None) m = Measurement_On_Grid(std::move(read.points));
    if (!m.present) {
        Show_Notice_Arg(txt::MeasurementTooFew, read.inRange);
        return;
    }
    measuredPoints[ch] = std::move(points);
    emit measurementChanged(ch, m);
}

void TuningActions::clearMeasurement() {
    measuredPoints[Pc.Cur_CH].clear();
    emit measurementChanged(Pc.Cur_CH, Measurement{});
}

// ---- EQ filters ----

void TuningActions::importEqFilters() {
    const uint8_t ch = Pc.Cur_CH;
    QByteArray bytes;
    if (!Open_Text_File(txt::FilterDialogTitle, txt::FilterFileFilter, kFilterFileMaxBytes, bytes))
        return;
    FilterFile file = Read_Filter_File(bytes);
    if (!file.ok) {
        if (file.badLine > 0)
            Show_Notice_Arg(txt::FilterBadLine, file.badLine);
        else
            Show_Notice(txt::FilterNoFilters);
        return;
    }
    if (!file.channels.isEmpty()) {
        QString channel;
        if (!Choose_File_Channel(file.channels, ch, channel)) return;
        file = Filter_File_For(file, channel);
    }
    const FilterFit fit = Fit_Filters(file);
    // Flattening the channel for a file with nothing to set would lose its bands for nothing.
    if (fit.applied > 0) applyEqBands(ch, fit.bands);
    Show_Notice(BilingualText{Filter_Import_Summary(file, fit, ch, false),
                              Filter_Import_Summary(file, fit, ch, true)});
}

// One undo step. All 31 bands go out, each after its copies to the linked channels, as a band
// edit sends them.
void TuningActions::applyEqBands(int ch, const ChannelBands& bands) {
    if (ch < 0 || ch >= kChannels) return;
    const bool shown = ch == Pc.Cur_CH;
    session.apply(shown ? RefreshEq : 0u, [&] {
        EditCore& editCore = session.core();
        for (int b = 0; b < kBands; ++b) {
            editCore.image().set_EQ_Freq(ch, b, bands[b].freq);
            editCore.image().set_EQ_Gain(ch, b, bands[b].gain);
            editCore.image().set_EQ_Q(ch, b, bands[b].q);
        }
        for (int b = 0; b < kBands; ++b) {
            editCore.EQ_Link_Copy(ch, b);
            editCore.Send_Band(ch, b);
        }
        if (shown) editCore.Sliders_From_Image(); // the sliders stand at the imported gains
    });
    emit graphChanged();
}

// ---- automatic equalisation ----

void TuningActions::autoEq() {
    const int ch = Pc.Cur_CH;
    if (measuredPoints[ch].empty()) {
        Show_Notice(txt::AutoEqNoMeasurement);
        return;
    }
    if (openAutoEqForm) openAutoEqForm->close(); // deleted on close
    QPointer<TuningActions> self(this);
    auto* form = new AutoEqForm(ch, measuredPoints[ch], [self](int channel, const FitBands& bands) {
        if (self) self->applyAutoEq(channel, Channel_Bands_Of(bands));
    });
    form->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &QObject::destroyed, form, &QObject::deleteLater);
    openAutoEqForm = form;
    form->show();
}

void TuningActions::applyAutoEq(int ch, const ChannelBands& bands) {
    if (beforeAutomatic) beforeAutomatic();
    applyEqBands(ch, bands);
}

// ---- distances ----

void TuningActions::alignDistances() {
    if (openDistanceForm) openDistanceForm->close(); // deleted on close
    QPointer<TuningActions> self(this);
    auto* form = new DistanceForm([self](const ChannelDelays& delays) {
        if (self) self->applyDelays(delays);
    });
    form->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &QObject::destroyed, form, &QObject::deleteLater);
    openDistanceForm = form;
    form->show();
}

// One undo step of absolute delays: the Sync group adds no offsets here.
void TuningActions::applyDelays(const ChannelDelays& delays) {
    session.apply(RefreshOutputs, [&] {
        EditCore& editCore = session.core();
        for (int ch = 0; ch < kChannels; ++ch) {
            if (!delays[ch]) continue;
            const uint16_t steps = std::min<uint16_t>(*delays[ch], kDelayMax);
            editCore.image().set_CH_Delay(ch, steps);
            editCore.sink().send(Make_CH_Delay(ch, steps));
        }
    });
}

} // namespace tarn
