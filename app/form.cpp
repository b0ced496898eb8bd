#include "app/form.h"

#include "dsp/response.h"
#include "graph/drag_push_button.h"
#include "graph/graph_view.h"
#include "i18n/form_texts.h"
#include "session/text.h"
#include "widgets/styles.h"

#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QString>
#include <algorithm>

// The artwork lives in the core library; registering it here makes ":/PNG/..." available to every
// program that builds this form, whatever it links first.
static void registerArtwork() {
    Q_INIT_RESOURCE(resources);
}

namespace tarn {

namespace {

constexpr int kWindowWidth = 1260;
constexpr int kWindowHeight = 686;

// Top band (the window is dragged by it).
constexpr int kTopY = 9;
constexpr int kTopH = 26;

// Crossover panels, right of the graph. The band markers and their numbers may reach x 1113.
constexpr int kXoX = 1116;
constexpr int kXoW = 136;
constexpr int kXoCaptionW = 36;
constexpr int kXoCtrlX = kXoX + 42;
constexpr int kXoCtrlW = 90;
constexpr int kXoRowH = 22;

// Row of the graph's overlay check boxes and the EQ mode buttons; band markers reach y 248.
constexpr int kCheckY = 252;
// The top band's buttons from here rightwards keep to the right edge; so do the EQ mode buttons
// and the master and link panels.
constexpr int kTopRightX = 1000;
constexpr int kEqModeX = 890;
// How a widget follows the window's size (Form::relayout).
constexpr unsigned kRight = 1u, kBottom = 2u, kStretchWidth = 4u, kStretchHeight = 8u;
// The graph widget: up to the crossover panels and the band columns.
constexpr int kGraphViewWidth = kXoX;
constexpr int kGraphViewHeight = 276;

// Band columns.
constexpr int kBandX0 = 40;
constexpr int kBandPitch = 39;
constexpr int kBandW = 38;
constexpr int kSliderY = 280;
constexpr int kSliderH = 118;
constexpr int kGainY = 402;
constexpr int kFreqY = 423;
constexpr int kQY = 444;
constexpr int kEntryH = 18;
constexpr int kLedY = 466;
constexpr int kLedW = 24;
constexpr int kLedH = 14;

// Channel strips, master strip and the link / unit / input panel.
constexpr int kStripY = 488;
constexpr int kStripH = 190;
constexpr int kStripX0 = 6;
constexpr int kStripPitch = 152;
constexpr int kStripW = 148;
constexpr int kRowH = 24;
constexpr int kMasterX = 918;
constexpr int kMasterW = 112;
constexpr int kMiscX = 1034;
constexpr int kMiscW = 220;

// Start-up texts that other parts of the window rewrite as soon as it is built.
const char* const kStartRoleText[kChannels] = {"前左全频", "前右全频", "后左全频",
                                               "后右全频", "中置",     "单通道超低"};

const char kWindowSheet[] =
    "QWidget#%1{background-color: rgb(57, 57, 57);border:4px solid rgb(150, 150, 150);}"
    "QLabel{color: rgb(230, 230, 230);}"
    "QLineEdit{color: rgb(255, 255, 255);background-color: rgb(36, 36, 37);"
    "border:1px solid rgb(110, 110, 112);border-radius:3px;"
    "selection-background-color: rgb(65, 105, 225);}"
    "QLineEdit:disabled{color: rgb(128, 128, 128);}"
    "QSlider::groove:vertical{background: rgb(28, 28, 29);width:4px;border-radius:2px;}"
    "QSlider::sub-page:vertical{background: rgb(28, 28, 29);border-radius:2px;}"
    "QSlider::add-page:vertical{background: rgb(65, 105, 225);border-radius:2px;}"
    "QSlider::handle:vertical{background: rgb(214, 214, 214);border:1px solid rgb(30, 30, 30);"
    "height:8px;margin:0px -7px;border-radius:3px;}"
    "QSlider::handle:vertical:hover{background: rgb(255, 255, 255);}"
    "QProgressBar{background-color: rgb(36, 36, 37);border:1px solid rgb(110, 110, 112);"
    "border-radius:3px;}"
    "QProgressBar::chunk{background-color: rgb(0, 128, 0);}"
    "QCheckBox{spacing:5px;}"
    "QPushButton::menu-indicator{image:none;width:0px;}";

const char kPanelSheet[] =
    "QFrame{background-color: rgb(50, 50, 51);border:1px solid rgb(88, 88, 90);"
    "border-radius:4px;}";

const char kBandEntrySheet[] = "QLineEdit#%1{color: rgb(255, 255, 255);background-color: "
                               "transparent;border-width:1;border-style:outset;}";

const char kLedFlatSheet[] =
    "border-radius:6px;padding:1px 5px;border-style: outset;background-color:white;";

QString numbered(const char* prefix, int n) {
    return QString::fromLatin1(prefix) + QString::number(n);
}

// A grouping panel drawn behind a set of controls. Created before the controls it groups, so it
// stays beneath them.
void makePanel(QWidget* window, int x, int y, int w, int h) {
    auto* panel = new QFrame(window);
    panel->setGeometry(x, y, w, h);
    panel->setStyleSheet(QString::fromLatin1(kPanelSheet));
    panel->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QPushButton* makeButton(QWidget* window, const QString& name, const QString& text, int x, int y,
                        int w, int h) {
    auto* button = new QPushButton(text, window);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    button->setStyleSheet(QString::fromLatin1(kStyleUnselected));
    return button;
}

QLabel* makeLabel(QWidget* window, const QString& name, int x, int y, int w, int h,
                  Qt::Alignment align = Qt::AlignVCenter | Qt::AlignLeft) {
    auto* label = new QLabel(window);
    label->setObjectName(name);
    label->setGeometry(x, y, w, h);
    label->setAlignment(align);
    return label;
}

QLineEdit* makeEntry(QWidget* window, const QString& name, const QString& text, int x, int y, int w,
                     int h) {
    auto* entry = new QLineEdit(text, window);
    entry->setObjectName(name);
    entry->setGeometry(x, y, w, h);
    entry->setAlignment(Qt::AlignCenter);
    return entry;
}

QSlider* makeSlider(QWidget* window, const QString& name, int max, int x, int y, int w, int h) {
    auto* slider = new QSlider(Qt::Vertical, window);
    slider->setObjectName(name);
    slider->setGeometry(x, y, w, h);
    slider->setRange(0, max);
    slider->setPageStep(1);
    slider->setValue(max);
    return slider;
}

} // namespace

void Form::setupUi(QWidget* window) {
    static const bool artworkRegistered = (registerArtwork(), true);
    (void)artworkRegistered;

    if (window->objectName().isEmpty()) window->setObjectName(QStringLiteral("Tarn80X"));
    window->setMinimumSize(kWindowWidth, kWindowHeight);
    window->resize(kWindowWidth, kWindowHeight);
    window->setFont(Fixed_Font(kFontPixels));
    window->setStyleSheet(QString::fromLatin1(kWindowSheet).arg(window->objectName()));

    const QFont small = Fixed_Font(10);

    // The graph first, so that the form's other widgets lie above its empty margins; its markers
    // reach no other widget.
    graph = new GraphView(window);
    graph->setGeometry(0, 0, kGraphViewWidth, kGraphViewHeight);
    bandMarker = graph->bandMarkers();
    bandLabel = graph->bandLabels();
    hpfMarker = graph->hpfMarker();
    lpfMarker = graph->lpfMarker();
    curveCheck = graph->curveChecks();

    // ---- top band ----
    label_2 = makeLabel(window, QStringLiteral("label_2"), 16, kTopY, 200, kTopH);
    label_2->setText(QStringLiteral("HX-6C-R1 DSP"));
    QFont title = Fixed_Font(16);
    title.setBold(true);
    label_2->setFont(title);

    BT_CONNECT = makeButton(window, QStringLiteral("BT_CONNECT"),
                            QString::fromUtf8(txt::StatusOffline.zh), 226, kTopY, 80, kTopH);
    BT_CONNECT->setEnabled(false);

    Label_Status = makeLabel(window, QStringLiteral("Label_Status"), 316, kTopY, 680, kTopH);
    TickBar = new QProgressBar(window);
    TickBar->setObjectName(QStringLiteral("TickBar"));
    TickBar->setGeometry(316, kTopY + 4, 220, kTopH - 8);
    TickBar->setRange(0, 100);
    TickBar->setValue(0);
    TickBar->setTextVisible(false);
    BT_TRANSFER_STOP =
        makeButton(window, QStringLiteral("BT_TRANSFER_STOP"), QString(), 546, kTopY, 330, kTopH);
    BT_TRANSFER_STOP->hide();

    BT_SENCE = makeButton(window, QStringLiteral("BT_SENCE"), QString(), 1000, kTopY, 88, kTopH);
    BT_OPTION = makeButton(window, QStringLiteral("BT_OPTION"), QString(), 1094, kTopY, 88, kTopH);
    BT_MIN = makeButton(window, QStringLiteral("BT_MIN"), QString(), 1190, kTopY, kTopH, kTopH);
    BT_MIN->setStyleSheet(QStringLiteral(
        "QPushButton#BT_MIN{border-image: url(:/PNG/MainMin.png);background-color: transparent;"
        "border-radius:4px;}"
        "QPushButton#BT_MIN:hover{background-color: rgb(90, 90, 92);}"));
    BT_CLOSE = makeButton(window, QStringLiteral("BT_CLOSE"), QString(), 1224, kTopY, kTopH, kTopH);
    BT_CLOSE->setStyleSheet(QStringLiteral(
        "QPushButton#BT_CLOSE{border-image: url(:/PNG/MainClose.png);background-color: "
        "transparent;border-radius:4px;}"
        "QPushButton#BT_CLOSE:hover{background-color: rgb(200, 40, 40);}"));

    // ---- crossover panels ----
    struct CrossoverWidgets {
        QLabel** heading;
        QLabel** typeCaption;
        QLabel** slopeCaption;
        QLabel** freqCaption;
        QPushButton** type;
        QPushButton** slope;
        QPushButton** down;
        QLineEdit** freq;
        QPushButton** up;
        const char* headingName;
        const char* typeCaptionName;
        const char* slopeCaptionName;
        const char* freqCaptionName;
        const char* prefix; // "HPF" or "LPF"
        const char* startFreq;
        int top;
    };
    const CrossoverWidgets crossovers[] = {
        {&label, &label_3, &label_5, &label_4, &BT_HPF_TYPE, &BT_HPF_SLOPE, &BT_HPF_FREQ_DOWN,
         &Edit_HPF_Freq, &BT_HPF_FREQ_UP, "label", "label_3", "label_5", "label_4", "HPF", "20",
         50},
        {&label_12, &label_7, &label_8, &label_6, &BT_LPF_TYPE, &BT_LPF_SLOPE, &BT_LPF_FREQ_DOWN,
         &Edit_LPF_Freq, &BT_LPF_FREQ_UP, "label_12", "label_7", "label_8", "label_6", "LPF",
         "20000", 150},
    };
    for (const CrossoverWidgets& c : crossovers) {
        const QString p = QString::fromLatin1(c.prefix);
        const int top = c.top;
        makePanel(window, kXoX, top, kXoW, 98);
        *c.heading = makeLabel(window, QString::fromLatin1(c.headingName), kXoX + 4, top + 3,
                               kXoW - 8, 18, Qt::AlignCenter);
        const int rows[3] = {top + 24, top + 49, top + 74};
        *c.typeCaption = makeLabel(window, QString::fromLatin1(c.typeCaptionName), kXoX + 4,
                                   rows[0], kXoCaptionW, kXoRowH);
        *c.slopeCaption = makeLabel(window, QString::fromLatin1(c.slopeCaptionName), kXoX + 4,
                                    rows[1], kXoCaptionW, kXoRowH);
        *c.freqCaption = makeLabel(window, QString::fromLatin1(c.freqCaptionName), kXoX + 4,
                                   rows[2], kXoCaptionW, kXoRowH);
        *c.type = makeButton(window, QStringLiteral("BT_%1_TYPE").arg(p),
                             QStringLiteral("巴特沃斯"), kXoCtrlX, rows[0], kXoCtrlW, kXoRowH);
        *c.slope = makeButton(window, QStringLiteral("BT_%1_SLOPE").arg(p), QStringLiteral("关闭"),
                              kXoCtrlX, rows[1], kXoCtrlW, kXoRowH);
        *c.down = makeButton(window, QStringLiteral("BT_%1_FREQ_DOWN").arg(p), QStringLiteral("-"),
                             kXoCtrlX, rows[2], 18, kXoRowH);
        *c.freq = makeEntry(window, QStringLiteral("Edit_%1_Freq").arg(p),
                            QString::fromLatin1(c.startFreq), kXoCtrlX + 20, rows[2], kXoCtrlW - 40,
                            kXoRowH);
        *c.up = makeButton(window, QStringLiteral("BT_%1_FREQ_UP").arg(p), QStringLiteral("+"),
                           kXoCtrlX + kXoCtrlW - 18, rows[2], 18, kXoRowH);
        for (QPushButton* step : {*c.down, *c.up}) {
            step->setStyleSheet(QString::fromLatin1(kStyleUnselected) +
                                QStringLiteral("padding:0px;"));
            step->setAutoRepeat(true);
            step->setAutoRepeatDelay(1000);
            step->setAutoRepeatInterval(100);
        }
    }

    // ---- EQ mode buttons, right of the graph's overlay check boxes ----
    QPushButton** const eqButtons[] = {&BT_PEQ, &BT_GEQ, &BT_EQ_BYPASS, &BT_EQ_RESET};
    const char* const eqButtonNames[] = {"BT_PEQ", "BT_GEQ", "BT_EQ_BYPASS", "BT_EQ_RESET"};
    for (int i = 0; i < 4; ++i)
        *eqButtons[i] = makeButton(window, QString::fromLatin1(eqButtonNames[i]), QString(),
                                   kEqModeX + 92 * i, kCheckY - 1, 86, kRowH);
    BT_PEQ->setStyleSheet(QString::fromLatin1(kStyleSelected));

    // ---- band columns ----
    makePanel(window, 6, kSliderY - 4, kWindowWidth - 12, kLedY + kLedH + 4 - (kSliderY - 4));
    label_11 = makeLabel(window, QStringLiteral("label_11"), 9, kGainY, kBandX0 - 10, kEntryH);
    label_9 = makeLabel(window, QStringLiteral("label_9"), 9, kFreqY, kBandX0 - 10, kEntryH);
    label_10 = makeLabel(window, QStringLiteral("label_10"), 9, kQY, kBandX0 - 10, kEntryH);
    for (int b = 0; b < kBands; ++b) {
        const int n = b + 1;
        const int x = kBandX0 + kBandPitch * b;
        QSlider* slider = makeSlider(window, numbered("Slider_EQ_Gain_Bar_", n), 240,
                                     x + (kBandW - 22) / 2, kSliderY, 22, kSliderH);
        slider->setValue(kGainFlat);
        slider->setFocusPolicy(Qt::NoFocus);
        eqGainSlider[b] = slider;

        const struct {
            std::array<QLineEdit*, kBands>& family;
            const char* prefix;
            QString text;
            int y;
        } entries[] = {
            {eqGain, "Edit_EQ_Gain_", QStringLiteral("0.0"), kGainY},
            {eqFreq, "Edit_EQ_Freq_", QString::number(kDefaultBandFreq[b]), kFreqY},
            {eqQ, "Edit_EQ_Q_", QStringLiteral("3.0"), kQY},
        };
        for (const auto& e : entries) {
            const QString name = numbered(e.prefix, n);
            QLineEdit* entry = makeEntry(window, name, e.text, x, e.y, kBandW, kEntryH);
            entry->setFont(small);
            entry->setTextMargins(0, 0, 0, 0);
            entry->setStyleSheet(QString::fromLatin1(kBandEntrySheet).arg(name));
            e.family[b] = entry;
        }

        QPushButton* led = makeButton(window, numbered("BT_LED_", n), QString(),
                                      x + (kBandW - kLedW) / 2, kLedY, kLedW, kLedH);
        led->setStyleSheet(QString::fromLatin1(kLedFlatSheet));
        bandButton[b] = led;
    }
    label_15 = makeLabel(window, QStringLiteral("label_15"), kBandX0 - 2, kSliderY - 2,
                         kBandPitch * (kBands - 1) + kBandW + 4, kLedY + kLedH + 2 - (kSliderY - 2),
                         Qt::AlignCenter);
    label_15->setStyleSheet(QStringLiteral(
        "QLabel#label_15{color: rgb(255, 96, 96);background-color: rgba(24, 24, 25, 170);"
        "border:2px solid rgb(255, 96, 96);border-radius:6px;font-size:48px;font-weight:bold;}"));
    label_15->setAttribute(Qt::WA_TransparentForMouseEvents); // the EQ stays editable beneath

    // ---- channel strips ----
    for (int ch = 0; ch < kChannels; ++ch) {
        const int n = ch + 1;
        const int x = kStripX0 + kStripPitch * ch;
        const int y = kStripY;
        const int col = x + 42;
        const int colW = kStripW - 48;
        makePanel(window, x, y, kStripW, kStripH);
        chButton[ch] =
            makeButton(window, numbered("BT_CH", n), numbered("CH", n), x + 6, y + 6, 48, kRowH);
        chNameButton[ch] =
            makeButton(window, numbered("BT_CH_NAME_", n), QString::fromUtf8(kStartRoleText[ch]),
                       x + 58, y + 6, kStripW - 64, kRowH);
        chVolSlider[ch] = makeSlider(window, numbered("Slider_CHVol_Bar_", n), kVolMax, x + 10,
                                     y + 36, 22, kStripH - 44);
        chVol[ch] = makeEntry(window, numbered("Edit_CHVol_", n), QStringLiteral("0.0dB"), col,
                              y + 36, colW, kRowH);
        chDelay[ch] = makeEntry(window, numbered("Edit_CHDelay_", n), QStringLiteral("0.00ms"), col,
                                y + 66, colW, kRowH);
        chMute[ch] =
            makeButton(window, numbered("BT_Mute_", n), QString(), col, y + 98, colW, kRowH);
        chPhase[ch] = makeButton(window, numbered("BT_Phase_", n), QStringLiteral("正相"), col,
                                 y + 126, colW, kRowH);
        chSync[ch] = makeButton(window, QStringLiteral("BT_Sync_A0%1").arg(n) + QLatin1Char('1'),
                                QString(), col, y + 154, colW, kRowH);
    }

    // ---- master strip ----
    makePanel(window, kMasterX, kStripY, kMasterW, kStripH);
    label_16 = makeLabel(window, QStringLiteral("label_16"), kMasterX + 4, kStripY + 6,
                         kMasterW - 8, kRowH);
    Slider_Total_Bar = makeSlider(window, QStringLiteral("Slider_Total_Bar"), kVolMax,
                                  kMasterX + 10, kStripY + 36, 22, kStripH - 44);
    Edit_Total = makeEntry(window, QStringLiteral("Edit_Total"), QStringLiteral("0.0dB"),
                           kMasterX + 40, kStripY + 36, kMasterW - 46, kRowH);
    BT_MainMute = makeButton(window, QStringLiteral("BT_MainMute"), QString(), kMasterX + 40,
                             kStripY + 98, kMasterW - 46, kRowH);

    // ---- link, delay unit and input source ----
    makePanel(window, kMiscX, kStripY, kMiscW, kStripH);
    BT_LINK = makeButton(window, QStringLiteral("BT_LINK"), QString(), kMiscX + 10, kStripY + 6,
                         100, kRowH);
    label_13 = makeLabel(window, QStringLiteral("label_13"), kMiscX + 10, kStripY + 36, 64, kRowH);
    BT_Unit = makeButton(window, QStringLiteral("BT_Unit"), QStringLiteral("ms"), kMiscX + 78,
                         kStripY + 36, 60, kRowH);
    struct InputButton {
        QPushButton** button;
        const char* name;
        int column;
        int row;
    };
    const InputButton inputs[] = {
        {&BT_INPUT_HI, "BT_INPUT_HI", 0, 0},     {&BT_INPUT_LOW, "BT_INPUT_LOW", 1, 0},
        {&BT_INPUT_COAX, "BT_INPUT_COAX", 2, 0}, {&BT_INPUT_OPT, "BT_INPUT_OPT", 0, 1},
        {&BT_INPUT_BT, "BT_INPUT_BT", 1, 1},
    };
    for (const InputButton& in : inputs)
        *in.button =
            makeButton(window, QString::fromLatin1(in.name), QString(),
                       kMiscX + 10 + 68 * in.column, kStripY + 98 + 28 * in.row, 64, kRowH);

    // Give every child its font explicitly, so that it keeps the form's font whatever happens to
    // the window later: a styled window whose window flags change makes children that merely
    // inherit the font fall back to the application font.
    for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!child->testAttribute(Qt::WA_SetFont)) child->setFont(window->font());

    for (QWidget* child : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        anchored.push_back({child, g.x(), g.y(), g.width(), g.height(), anchorOf(child, g)});
    }

    applyFormTexts(window, false);
}

unsigned Form::anchorOf(const QWidget* widget, const QRect& g) const {
    if (widget == graph) return kStretchWidth | kStretchHeight;
    if (g.y() < kGraphTop) return g.x() >= kTopRightX ? kRight : 0u; // the top band
    if (g.y() < kCheckY - 1) return kRight;                          // crossover panels
    // Below the graph: the EQ mode buttons beside the overlay boxes, the band columns, the strips.
    bool right = false;
    if (g.y() < kSliderY - 4)
        right = g.x() >= kEqModeX;
    else if (g.y() >= kStripY)
        right = g.x() >= kMasterX;
    return kBottom | (right ? kRight : 0u);
}

void Form::relayout(QSize windowSize) {
    const int dw = std::max(0, windowSize.width() - kWindowWidth);
    const int dh = std::max(0, windowSize.height() - kWindowHeight);
    for (const Anchored& a : anchored) {
        const int x = a.x + (a.anchors & kRight ? dw : 0);
        const int y = a.y + (a.anchors & kBottom ? dh : 0);
        const int w = a.w + (a.anchors & kStretchWidth ? dw : 0);
        const int h = a.h + (a.anchors & kStretchHeight ? dh : 0);
        a.widget->setGeometry(x, y, w, h);
    }
}

} // namespace tarn
