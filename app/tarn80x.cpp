#include "app/tarn80x.h"

#include "app/desktop.h"
#include "app/form.h"
#include "graph/graph_view.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "tuning/tuning_actions.h"
#include "views/crossover.h"
#include "views/outputs.h"
#include "views/scene_actions.h"
#include "views/scene_actions_history.h"
#include "widgets/styles.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOption>
#include <QWindow>

namespace tarn {

Tarn80X::Tarn80X(QWidget* parent) : QWidget(parent), ui(new Form) {
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this); // on_<object>_<signal> slots, as a generated form does
    Pc.Master_Mute = 0;
    Editing_Core_Init();
    outputs_ = new OutputsStrip({ui->chVolSlider, ui->chVol, ui->chDelay, ui->chMute, ui->chPhase,
                                 ui->chSync, ui->Slider_Total_Bar, ui->Edit_Total, ui->BT_MainMute,
                                 ui->BT_Unit},
                                *session, this);
    channelBar_ =
        new ChannelBar({ui->chButton, ui->chNameButton, ui->BT_LINK, ui->BT_INPUT_HI,
                        ui->BT_INPUT_LOW, ui->BT_INPUT_OPT, ui->BT_INPUT_BT, ui->BT_INPUT_COAX},
                       *session, this);
    connect(channelBar_, &ChannelBar::channelSwitched, this, &Tarn80X::Channel_Refresh);
    sceneActions_ = new SceneActions({ui->BT_SENCE, ui->BT_OPTION}, *session, this);
    tuningActions_ = new TuningActions(*session, this);
    connect(tuningActions_, &TuningActions::graphChanged, this, &Tarn80X::Graph_Repaint);
    connect(tuningActions_, &TuningActions::measurementChanged, ui->graph,
            &GraphView::setMeasurement);
    buildOptionAndSceneMenus();
    installEventFilters();

    Link_Init(); // the name reply must match; replies are dispatched to this window
    sceneActions_->history().attach();
    Pc.EQ_Mode = 1;
    crossover_ =
        new CrossoverPanel({ui->Edit_HPF_Freq, ui->Edit_LPF_Freq, ui->BT_HPF_TYPE, ui->BT_LPF_TYPE,
                            ui->BT_HPF_SLOPE, ui->BT_LPF_SLOPE, ui->BT_HPF_FREQ_UP,
                            ui->BT_HPF_FREQ_DOWN, ui->BT_LPF_FREQ_UP, ui->BT_LPF_FREQ_DOWN},
                           *session, this);
    buildFilterAndUnitMenus();

    setWindowFlags(Qt::FramelessWindowHint);

    Param_Init();
    core->Sliders_From_Image();
    outputs_->showChannelOutputs();
    Param_Image.set_Total_Vol(kVolMax);
    ui->Slider_Total_Bar->setValue(kVolMax);
    Graph_Connect();
    channelBar_->refreshRoles();
    BT_CH_Switch(0);

    for (QPushButton* step :
         {ui->BT_HPF_FREQ_UP, ui->BT_HPF_FREQ_DOWN, ui->BT_LPF_FREQ_UP, ui->BT_LPF_FREQ_DOWN})
        step->hide();
    ui->BT_PEQ->setStyleSheet(kStyleSelected);
    ui->BT_GEQ->setStyleSheet(kStyleUnselected);

    Param_Image.set_Input_Source(0);

    ui->label_15->hide();
    Channel_State_Init();
    outputs_->showChannelOutputs();
    Editing_Connect_Eq();
    setMouseTracking(true); // the resize cursors along the edges
    Desktop_Attach(*this);
}

void Tarn80X::stopLinkTimer() {
    Link_Machine().setAutoRun(false);
}

Tarn80X::~Tarn80X() {
    sceneActions_->history().detach(); // the last state of the session, while the link is still up
    Desktop_Detach(*this);
    // The stack announces its clearing as it goes; nothing here may answer by then.
    session->disconnect(this);
    core = nullptr;
    session.reset();
    stopLinkTimer();
    Link_Shutdown();
    delete ui;
}

void Tarn80X::installEventFilters() {
    for (QWidget* w : ui->eventFilterTargets())
        w->installEventFilter(this);
}

bool Tarn80X::eventFilter(QObject* watched, QEvent* event) {
    Band_Button_EventFilter(watched, event);
    EqCrossover_EventFilter(watched, event);
    return false; // the watched widget always gets the event too
}

void Tarn80X::paintEvent(QPaintEvent*) {
    // The style sheet's background and border; the graph paints itself above it.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

namespace {

// Without a frame the window is resized from a band this wide along its edges.
constexpr int kResizeBand = 6;

Qt::Edges Edges_At(const QWidget& w, QPoint p) {
    Qt::Edges edges;
    if (w.isMaximized()) return edges;
    if (p.x() < kResizeBand) edges |= Qt::LeftEdge;
    if (p.x() >= w.width() - kResizeBand) edges |= Qt::RightEdge;
    if (p.y() < kResizeBand) edges |= Qt::TopEdge;
    if (p.y() >= w.height() - kResizeBand) edges |= Qt::BottomEdge;
    return edges;
}

Qt::CursorShape Resize_Cursor(Qt::Edges e) {
    if (e == (Qt::LeftEdge | Qt::TopEdge) || e == (Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if (e == (Qt::RightEdge | Qt::TopEdge) || e == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    return e & (Qt::LeftEdge | Qt::RightEdge) ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

} // namespace

void Tarn80X::resizeEvent(QResizeEvent* event) {
    ui->relayout(event->size());
}

// A double-click on the top band maximises the window and brings it back, as on a title bar.
void Tarn80X::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < 50.0)
        setWindowState(windowState() ^ Qt::WindowMaximized);
    event->accept();
}

void Tarn80X::mousePressEvent(QMouseEvent* event) {
    const Qt::Edges edges = Edges_At(*this, event->pos());
    if (event->button() == Qt::LeftButton && edges && windowHandle() &&
        windowHandle()->startSystemResize(edges)) {
        dragAllowed = 0;
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        dragAllowed = event->position().y() < 50.0 ? 1 : 0;
    }
    event->accept();
}

void Tarn80X::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && dragAllowed && !isMaximized())
        move(event->globalPosition().toPoint() - dragOffset);
    if (event->buttons() == Qt::NoButton) {
        const Qt::Edges edges = Edges_At(*this, event->pos());
        edges ? setCursor(Resize_Cursor(edges)) : unsetCursor();
    }
    event->accept();
}

void Tarn80X::on_BT_CLOSE_clicked() {
    if (Link_Online()) Send_Close();
    QApplication::exit(0);
}

void Tarn80X::on_BT_MIN_clicked() {
    setWindowState(Qt::WindowMinimized);
}

} // namespace tarn
