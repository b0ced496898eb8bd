#include "app/tarn80x.h"

#include "app/desktop.h"
#include "app/form.h"
#include "graph/graph_view.h"
#include "link/link_machine.h"
#include "link/send.h"
#include "model/param_image.h"
#include "session/channel_state.h"
#include "session/edit_session.h"
#include "tuning/tuning_actions.h"
#include "views/crossover.h"
#include "views/eq_page.h"
#include "views/outputs.h"
#include "views/scene_actions.h"
#include "views/scene_actions_history.h"
#include "widgets/styles.h"

#include <QAction>
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

// Frameless from the start: changing the window flags of a built and styled window re-polishes
// every child.
Tarn80X::Tarn80X(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint), ui(new Form) {
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this); // on_<object>_<signal> slots, as a generated form does
    Pc.Master_Mute = 0;
    session_ = std::make_unique<EditSession>(Param_Image, Pc, Chan);
    buildViews();
    buildMenus();
    wireLink(); // the name reply must match; replies are dispatched to the views
    sceneActions_->history().attach();
    wireViews();

    Param_Init();
    session_->core().Sliders_From_Image();
    outputs_->showChannelOutputs();
    Param_Image.set_Total_Vol(kVolMax);
    ui->Slider_Total_Bar->setValue(kVolMax);
    channelBar_->refreshRoles();
    channelBar_->switchTo(0);
    Param_Image.set_Input_Source(0);
    Channel_State_Init();
    outputs_->showChannelOutputs();
    setMouseTracking(true); // the resize cursors along the edges
    Desktop_Attach(*this);
}

// Each view takes the form's widgets of its family; the refresh requests of the session reach
// each of them in the order built here.
void Tarn80X::buildViews() {
    EditSession& s = *session_;
    outputs_ = new OutputsStrip({ui->chVolSlider, ui->chVol, ui->chDelay, ui->chMute, ui->chPhase,
                                 ui->chSync, ui->Slider_Total_Bar, ui->Edit_Total, ui->BT_MainMute,
                                 ui->BT_Unit},
                                s, this);
    channelBar_ =
        new ChannelBar({ui->chButton, ui->chNameButton, ui->BT_LINK, ui->BT_INPUT_HI,
                        ui->BT_INPUT_LOW, ui->BT_INPUT_OPT, ui->BT_INPUT_BT, ui->BT_INPUT_COAX},
                       s, this);
    eqPage_ = new EqPage({ui->BT_PEQ, ui->BT_GEQ, ui->BT_EQ_BYPASS, ui->BT_EQ_RESET, ui->label_15,
                          ui->eqGainSlider, ui->eqGain, ui->eqFreq, ui->eqQ, ui->bandButton},
                         s, this);
    crossover_ =
        new CrossoverPanel({ui->Edit_HPF_Freq, ui->Edit_LPF_Freq, ui->BT_HPF_TYPE, ui->BT_LPF_TYPE,
                            ui->BT_HPF_SLOPE, ui->BT_LPF_SLOPE, ui->BT_HPF_FREQ_UP,
                            ui->BT_HPF_FREQ_DOWN, ui->BT_LPF_FREQ_UP, ui->BT_LPF_FREQ_DOWN},
                           s, this);
    sceneActions_ = new SceneActions({ui->BT_SENCE, ui->BT_OPTION}, s, this);
    tuningActions_ = new TuningActions(s, this);
}

// The graph's edits go to the views of their family; the session's refresh requests and the
// tuning tools' measurements to the graph.
void Tarn80X::wireViews() {
    GraphView* graph = ui->graph;
    EditSession* s = session_.get();
    connect(s, &EditSession::refreshNeeded, graph, &GraphView::showChanges);
    connect(graph, &GraphView::gestureStarted, s, [s] { s->beginGesture(); });
    connect(graph, &GraphView::bandMoved, eqPage_, &EqPage::markerMoved);
    connect(graph, &GraphView::flatToggled, eqPage_, &EqPage::toggleFlat);
    connect(graph, &GraphView::crossoverMoved, crossover_, &CrossoverPanel::markerMoved);
    connect(tuningActions_, &TuningActions::graphChanged, graph, &GraphView::refresh);
    connect(tuningActions_, &TuningActions::measurementChanged, graph, &GraphView::setMeasurement);
    tuningActions_->setBeforeAutomaticChange(
        [this] { sceneActions_->history().takeSnapshot(SnapshotReason::AutoEq); });
    auto showUndo = [this] {
        menus.undo->setEnabled(session_->canUndo());
        menus.redo->setEnabled(session_->canRedo());
    };
    connect(s, &EditSession::canUndoChanged, this, showUndo);
    connect(s, &EditSession::canRedoChanged, this, showUndo);
    connect(menus.undo, &QAction::triggered, s, &EditSession::undo);
    connect(menus.redo, &QAction::triggered, s, &EditSession::redo);
}

GraphView& Tarn80X::graph() const {
    return *ui->graph;
}

void Tarn80X::stopLinkTimer() {
    Link_Machine().setAutoRun(false);
}

Tarn80X::~Tarn80X() {
    sceneActions_->history().detach(); // the last state of the session, while the link is still up
    Desktop_Detach(*this);
    // The stack announces its clearing as it goes; no view may answer by then.
    session_->disconnect();
    session_.reset();
    stopLinkTimer();
    unwireLink();
    delete ui;
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
        dragAllowed = false;
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        dragAllowed = event->position().y() < 50.0;
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
