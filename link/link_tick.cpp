// The 2 ms link tick: finding and opening the unit, the name check, the paced read-back of the
// parameter blocks and scene names, the keep-alive, and what a lost unit does to the link.
#include "link/link_tick.h"

#include "app/form.h"
#include "app/notice.h"
#include "app/tarn80x.h"
#include "link/device_access.h"
#include "link/frame.h"
#include "link/link_state.h"
#include "model/commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <hidapi.h>

namespace tarn {

LinkTickState LinkTick;

void Wait_Ms(uint16_t ms) {
    // A monotonic clock: a wall-clock deadline would never be reached across midnight.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
}

int Read_Report(int timeoutMs) {
    Link.Rx_Read = 0;
    Link.Rx_Write = 0;
    if (!Link.Hid_Handle) return 0;
    const int n = hid_read_timeout(Link.Hid_Handle, Link.Rx_Ring.data(), kReportSize, timeoutMs);
    if (n > 0) Link.Rx_Write = static_cast<uint16_t>(Link.Rx_Write + n);
    return n;
}

void Close_Unit() {
    if (Link.Hid_Handle) hid_close(Link.Hid_Handle);
    Link.Hid_Handle = nullptr;
}

void Link_Go_Offline() {
    Link.Online = 0;
    Link.Link_State = 0;
    Link.Readback_Active = 0;
    Link.SceneName_Active = 0;
    Link.Request_Pending = 0;
    LinkTick.attempts = 0;
}

void Connect_Unit() {
    Close_Unit();
    Link.Send_Suppressed = 0;
    Link.Hid_Handle = hid_open(kVendorId, kProductId, nullptr);
    Device_Access.Note_Open_Attempt(Link.Hid_Handle != nullptr);
    if (!Link.Hid_Handle) {
        LinkTick.wrongNameSeen = 0; // whatever was attached has gone
        if (Link.Online) {
            Link_Go_Offline();
            Link.Disconnect_Pending = 1;
        }
        return;
    }
    Req_Device_Name();
    if (Read_Report() <= 0) {
        Wait_Ms(10);
        Read_Report();
    }
}

void Tarn80X::Link_Init() {
    Link.replyHandler = [this] { Reply_Dispatch(); };
    Link.writeFailureHandler = [this] {
        Link_Go_Offline();
        ui->TickBar->hide();
    };
}

void Tarn80X::Link_Shutdown() {
    Link.replyHandler = nullptr;
    Link.writeFailureHandler = nullptr;
    Close_Unit();
}

void Tarn80X::Show_Link_Status() {
    ui->BT_CONNECT->setText(tr2(Link.Link_State == 2 ? txt::StatusOnline : txt::StatusOffline));
}

// Reports already waiting (a late answer, a stale one, something the unit sent on its own) are
// decoded before the next request, so that one late answer does not leave every later read one
// answer behind. Bounded, and without waiting.
static void Drain_Queued_Reports() {
    for (int i = 0; i < 8 && Link.Hid_Handle; ++i) {
        if (Read_Report(0) <= 0) break;
        Parse_Frame();
    }
}

// One request, then one read on the next tick. The index moves on only when the dispatch has
// stored what was asked for; past kRequestAttempts the handshake starts afresh.
void Tarn80X::Paced_Request_Step(uint8_t& active, void (*request)(int), const uint8_t& index) {
    if (!Link.Request_Pending) {
        Drain_Queued_Reports();
        if (!active || !Link.Online) return;
        if (LinkTick.attempts >= kRequestAttempts) {
            Link_Go_Offline();
            ui->TickBar->hide();
            Show_Link_Status();
            return;
        }
        ++LinkTick.attempts;
        request(index);
        Link.Request_Pending = 1;
    } else {
        Read_Report();
        Link.Request_Pending = 0;
    }
}

void Tarn80X::Link_Tick() {
    LinkState& l = Link;
    if (!l.Online) {
        if (l.Disconnect_Pending) {
            Show_Link_Status();
            l.Disconnect_Pending = 0;
        }
        if (LinkTick.wrongNameWait > 0)
            --LinkTick.wrongNameWait;
        else
            Connect_Unit();
    } else if (l.Readback_Active) {
        Paced_Request_Step(l.Readback_Active, &Req_Block, l.Readback_Block);
        if (l.Disconnect_Pending) {
            Show_Link_Status();
            l.Disconnect_Pending = 0;
        }
    } else {
        if (l.SceneName_Active)
            Paced_Request_Step(l.SceneName_Active, &Req_Scene_Name, l.SceneName_Index);
        if (l.Online) {
            if (l.Reconnect_Count > 0 && --l.Reconnect_Count == 0) Connect_Unit();
            if (l.Idle_Count == 0) {
                l.Idle_Count = kIdleTicksBetweenPings;
            } else if (--l.Idle_Count == 0) {
                if (l.Online && l.Hid_Handle) {
                    Req_Ping();
                    // The answer is not decoded itself, but anything the unit sent on its own
                    // before it (input source, master volume) is.
                    Read_Report(kKeepAliveReadTimeoutMs);
                }
                l.Idle_Count = kIdleTicksBetweenPings;
            }
        }
        if (l.Disconnect_Pending) {
            Show_Link_Status();
            l.Disconnect_Pending = 0;
        }
    }
    if (l.Repeat_Guard > 0) --l.Repeat_Guard;
    Parse_Frame();
}

} // namespace tarn
