// The simulated unit: a deterministic model of the six-channel DSP at the far end of the USB link,
// plus the state the hidapi calls of hidapi_sim.cpp run against.
//
// Written on its own on purpose: it has its own frame decoding, its own memory offsets and its own
// command handling, so a misreading in the application's code is not copied into the unit.
//
// Single-threaded: every call is expected on one thread (the GUI thread of the application).
//
// What it answers. Every answer is one 32-byte input report: byte 0 = 0x20, then the frame
// FA 2A seq L payload checksum F5 from byte 1 (so the code is byte 5, its data from byte 6), the
// rest zero; seq counts the unit's reports. Payloads:
//   06 16    -> 16 + name bytes ("TQ_AUD48" and eight 0x00 unless changed)
//   06 AA n  -> AA n + memory[20n .. 20n+19], for n = 0..203; no answer beyond the memory
//   06 10 k  -> 10 k + the 16 name bytes of scene k (k = 1..9)
//   06 15 s k-> 15 s k + scene s bytes [20k .. 20k+19] (k = 0..55)
//   06 00    -> 00 (keep-alive)
//   05 41 k  -> 41 k for blocks 0..53; block 54 closes the transfer and is not acknowledged
//   05 15 s k-> 15 s k for blocks 0..54; block 55 closes the scene and is not acknowledged
//   05 B0 f  -> B0 f(hi) f(lo) for numbered chunks; the final chunk 0xFFFF is not acknowledged
// Every other write is carried out silently. Payloads of the wrong length, unknown codes and
// channel / band / scene / block numbers out of range are ignored (counted) and not answered.
// Values are stored exactly as carried; bytes 0..3 (the firmware version) never change by a
// write, a scene recall or an image load.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace sim {

constexpr std::uint16_t kVendorId = 0x1A86;
constexpr std::uint16_t kProductId = 0xE010;

constexpr std::size_t kReportSize = 32;   // one HID report, both directions
constexpr std::size_t kMemorySize = 4096; // the unit's parameter memory
constexpr std::size_t kBlockSize = 20;    // one block of the memory / of a scene image
constexpr int kChannels = 6;
constexpr int kBands = 31;
constexpr int kScenes = 9;
constexpr std::size_t kNameSize = 16;       // scene names and the default device name length
constexpr std::size_t kMaxAnswerData = 24;  // longest data after the code byte that fits a report
constexpr std::size_t kPortQueueLimit = 64; // input reports held per open handle (newer ones drop)

// Frame bytes.
constexpr std::uint8_t kOutLead = 0x20; // byte 1 of every output report
constexpr std::uint8_t kInLead = 0x20;  // byte 0 of every input report, before the frame
constexpr std::uint8_t kStart = 0xFA;
constexpr std::uint8_t kDirToUnit = 0xA2;
constexpr std::uint8_t kDirToPc = 0x2A;
constexpr std::uint8_t kEnd = 0xF5;
constexpr std::size_t kMaxCommandPayload = 24;

// Firmware version the unit reports in bytes 0..3 of its memory.
constexpr std::uint32_t kFirmwareVersion = 20230811;

// Byte offsets of the fields of the parameter memory (little-endian, unaligned).
namespace off {
constexpr std::size_t FwVersion = 0; // u32
constexpr std::size_t ChName = 4;    // u8[6] speaker-role codes
constexpr std::size_t InputSource = 10;
constexpr std::size_t TotalVol = 24;   // u16
constexpr std::size_t ChVol = 26;      // u16[6]
constexpr std::size_t ChMute = 38;     // u8[6]
constexpr std::size_t ChDelay = 44;    // u16[6], 0.01 ms steps
constexpr std::size_t ChPhase = 56;    // u8[6]
constexpr std::size_t EqBypass = 62;   // u8[6]
constexpr std::size_t NoiseGate = 68;  // u16
constexpr std::size_t EqFreq = 80;     // u16[6][31], Hz
constexpr std::size_t EqGain = 452;    // u16[6][31], unit encoding: dB x 10 + 240
constexpr std::size_t EqQ = 824;       // u8[6][31], Q x 10
constexpr std::size_t HpfFreq = 1016;  // u16[6]
constexpr std::size_t HpfSlope = 1028; // u8[6]
constexpr std::size_t HpfOff = 1034;   // u8[6]
constexpr std::size_t HpfType = 1040;  // u8[6]
constexpr std::size_t LpfFreq = 1046;  // u16[6]
constexpr std::size_t LpfSlope = 1058; // u8[6]
constexpr std::size_t LpfOff = 1064;   // u8[6]
constexpr std::size_t LpfType = 1070;  // u8[6]

constexpr std::size_t eqFreq(int ch, int band) {
    return EqFreq + 2 * std::size_t(ch * kBands + band);
}
constexpr std::size_t eqGain(int ch, int band) {
    return EqGain + 2 * std::size_t(ch * kBands + band);
}
constexpr std::size_t eqQ(int ch, int band) {
    return EqQ + std::size_t(ch * kBands + band);
}
} // namespace off

// Number of memory blocks the unit answers for 06 AA n: every n whose 20 bytes lie inside the
// 4096-byte memory (n = 0..203); the application only asks 0..54.
constexpr int kAnswerableBlocks = int(kMemorySize / kBlockSize);
// Blocks of a stored scene that 06 15 / 05 15 address: 0..55 (bytes 0..1119 of the scene image).
constexpr int kSceneBlocks = 56;
// Blocks of the memory that 05 41 writes: 0..54.
constexpr int kImageBlocks = 55;

using Memory = std::array<std::uint8_t, kMemorySize>;
using Name = std::array<std::uint8_t, kNameSize>;
using Report = std::array<std::uint8_t, kReportSize>;

// Applied to the unit's next answers. Overdue: the answer becomes readable lateMs after its frame,
// and the first read that finds it ready still misses it, as if it landed a moment after that
// look (an answer that comes just as the application gives it up). Drawn only when listed.
enum class Fault { Drop, Garble, BadChecksum, Late, Stale, Overdue };

struct Frame { // one frame the application wrote, decoded
    std::uint8_t seq;
    std::vector<std::uint8_t> payload;
};

struct Scene { // one of the nine stored scenes
    Memory image{};
    Name name{};
    // Saved or written since the last delete; a recall of an unused place does nothing.
    bool used = false;
};

struct Counters {
    int hidInits = 0, hidExits = 0;
    int opens = 0, failedOpens = 0, closes = 0;
    int writes = 0, failedWrites = 0;
    int reads = 0, emptyReads = 0, failedReads = 0;
    int badReports = 0; // written reports whose framing failed the checks (ignored)
    // Well-framed payloads the unit does not carry out: unknown, wrong length, index out of range.
    int ignoredCommands = 0;
    int answers = 0;       // answers produced (before faults), unsolicited reports not included
    int faults = 0;        // answers a fault was applied to
    int overflowDrops = 0; // reports lost because a handle's queue was full
    int factoryResets = 0, closeCommands = 0;
    int sceneSaves = 0, sceneRecalls = 0, sceneDeletes = 0;
    int imageLoads = 0; // 05 41 transfers completed by block 54
    int sceneLoads = 0; // 05 15 scene transfers completed by block 55
};

struct Firmware {                    // the upgrade receiver
    std::vector<std::uint8_t> bytes; // chunks in order, the final chunk appended when it came
    std::uint32_t chunks = 0;        // numbered chunks accepted in the running upgrade
    bool complete = false;           // the final chunk (number 0xFFFF) arrived
    int installs = 0;                // upgrades completed since reset()
    int rejected = 0;                // chunks refused (out of order), not acknowledged
};

using Clock = std::chrono::steady_clock;

struct QueuedReport {
    Report bytes{};
    Clock::time_point readyAt{}; // not readable before this time (answer latency)
    int holdReads = 0;           // reads that still return nothing before this one can be read
    bool holdOnceReady = false;  // only reads made once it is ready count for holdReads
};

// One open handle's view of the unit: like a hidraw file, each has its own input queue, filled
// with every report the unit sends while it is open.
struct Port {
    std::deque<QueuedReport> queue;
    bool dead = false; // the unit was unplugged while this handle was open; it never works again
    bool nonblocking = false;
    std::wstring error = L"Success";
};

class Unit {
  public:
    Unit(); // starts in the demo state (loadDemoState)
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    // Power-on state: factory memory, name "TQ_AUD48" + eight 0x00, nine stored scenes named
    // "Scene1".."Scene9" holding the factory image, plugged in and openable, no faults, not silent,
    // no latency, frame record and counters cleared, answer sequence 0, firmware receiver empty.
    // Open handles stay open (their queues are emptied).
    void reset();
    // A tuned car: roles, crossovers, EQ boosts and cuts, delays, levels, named scenes, and a
    // small answer latency. reset() first, then the changes.
    void loadDemoState();
    // The demo's --demo states: "tuned" (loadDemoState), "factory" (reset), "absent" (unplugged),
    // "locked" (plugged, not openable), "stuck" (tuned, with CH6's mute stuck on). False for any
    // other name.
    bool startAs(const std::string& state);

    // ---- state ----
    Memory& memory() { return mem_; }
    const Memory& memory() const { return mem_; }
    std::uint16_t u16(std::size_t offset) const;
    void setU16(std::size_t offset, std::uint16_t value);
    static Memory factoryImage();

    Scene& scene(int k); // k = 1..9; throws std::out_of_range otherwise
    const Scene& scene(int k) const;
    const std::vector<std::uint8_t>& nameBytes() const { return name_; }
    std::uint8_t noiseGateOn() const { return noiseGateOn_; } // the "on" byte of the last 05 13
    const Firmware& firmware() const { return fw_; }
    const Counters& counters() const { return counters_; }
    std::uint8_t answerSeq() const { return seq_; } // sequence byte of the next report sent

    // ---- knobs ----
    // Unplugging kills every open handle for good (writes and reads then fail); opens find
    // nothing until it is plugged in again.
    void setPlugged(bool plugged);
    // The USB serial number the bus lists (none, as the real unit, after reset()).
    void setSerial(std::wstring serial) { serial_ = std::move(serial); }
    const std::wstring& serial() const { return serial_; }
    bool plugged() const { return plugged_; }
    // Called when the unit is plugged in or out (setPlugged, or reset() of an unplugged unit), as a
    // hotplug monitor reports a device added or removed. The hook itself survives reset().
    void setArrivalHook(std::function<void()> hook) { arrivalHook_ = std::move(hook); }
    // Called after every frame the unit carries out (the simulated car follows the memory). The
    // hook survives reset().
    void setWriteHook(std::function<void()> hook) { writeHook_ = std::move(hook); }
    // A plugged unit the user may not open (no access to its node): the bus lists it, opens
    // fail with a permission error. Power-on: openable.
    void setOpenable(bool openable) { openable_ = openable; }
    bool openable() const { return openable_; }
    // Data of the 0x16 answer after the code byte, cut to the 24 bytes a report can carry.
    void setNameBytes(const std::vector<std::uint8_t>& bytes);
    // Appended to the list; each answer takes the next one. When the list is empty, answers get a
    // fault with probability rate, of a kind drawn evenly from kinds (all five when empty; seeded,
    // so runs repeat).
    void injectFaults(std::vector<Fault> faults);
    void setFaultRate(double rate, std::uint32_t seed, std::vector<Fault> kinds = {});
    // A silent unit takes frames (they are recorded) but carries nothing out and answers nothing;
    // reads return 0 while it is silent.
    void setSilent(bool silent);
    bool silent() const { return silent_; }
    // A report the unit sends by itself, e.g. 0x02 input source or 0x0D master volume (which also
    // change its memory). Never faulted. With no handle open it waits for the next open.
    void queueUnsolicited(std::uint8_t code, std::vector<std::uint8_t> data);
    // Answers become readable this long after the frame that asked for them (demo).
    void setLatencyMs(int ms);
    int latencyMs() const { return latencyMs_; }
    // The next n frames written are lost on the way: recorded, but neither carried out nor
    // answered.
    void loseWrites(int n) { lostWrites_ = std::max(0, n); }
    // The unit is pulled out right after the n-th frame written from now (that frame is still
    // carried out); 0 stops it. Survives reset(), like the arrival hook.
    void unplugAfterWrites(int n) { unplugAfterWrites_ = std::max(0, n); }
    // `then` runs right after the n-th frame written from now (that frame is carried out first),
    // once; 0 stops it. Survives reset(), like the arrival hook.
    void afterWrites(int n, std::function<void()> then) {
        afterWrites_ = std::max(0, n);
        afterWritesThen_ = std::move(then);
    }
    // Answers with this code lose their last `bytes` bytes (a unit answering one byte short);
    // bytes 0 stops it.
    void cutAnswers(std::uint8_t code, int bytes) {
        cutCode_ = code;
        cutBytes_ = std::max(0, bytes);
    }
    // A memory cell that holds `value` whatever is written to it, a scene recalled or the factory
    // memory restored (a unit with a failing cell); a value outside 0..255 frees it, as reset()
    // does.
    void stickByte(std::size_t offset, int value);
    // A late answer (Fault::Late) is held back this long on the sim's clock; 0 (the start value)
    // holds it for one read instead.
    void setLateMs(int ms) { lateMs_ = std::max(0, ms); }

    // ---- record ----
    const std::vector<Frame>& frames() const { return frames_; }
    void clearFrames() { frames_.clear(); }
    // Every report the unit sent, as built before any fault touched it.
    const std::vector<Report>& sentReports() const { return sent_; }
    int openHandles() const;
    std::size_t queuedReports() const; // reports waiting on the most recently opened live handle

    // ---- device side, used by the hidapi layer ----
    int openPort(); // port id, or -1 when unplugged or not openable
    void closePort(int port);
    bool hasPort(int port) const;
    int writePort(int port, const std::uint8_t* data, std::size_t length);
    int readPort(int port, std::uint8_t* data, std::size_t length, int timeoutMs); // -1: wait
    void setNonblocking(int port, bool nonblocking);
    const wchar_t* portError(int port) const;
    void noteInit() { ++counters_.hidInits; }
    void noteExit() { ++counters_.hidExits; }

  private:
    bool decodeReport(const std::uint8_t* data, std::size_t length, Frame& out) const;
    void execute(const std::vector<std::uint8_t>& p);
    bool executeWrite(const std::vector<std::uint8_t>& p);
    bool executeRequest(const std::vector<std::uint8_t>& p);
    void firmwareChunk(std::uint16_t number, const std::uint8_t* data);
    void restoreFactory();

    Report buildReport(const std::vector<std::uint8_t>& payload);
    void answer(std::vector<std::uint8_t> payload);
    bool nextFault(Fault& fault);
    void deliver(const QueuedReport& report);
    Port* port(int id);
    const Port* port(int id) const;

    Memory mem_{};
    std::array<Scene, kScenes> scenes_{};
    std::vector<std::uint8_t> name_;
    std::wstring serial_;
    std::uint8_t noiseGateOn_ = 0;
    Firmware fw_;

    bool plugged_ = true;
    std::function<void()> arrivalHook_;
    std::function<void()> writeHook_;
    bool openable_ = true;
    bool silent_ = false;
    int latencyMs_ = 0;
    int lateMs_ = 0;
    int lostWrites_ = 0;
    int unplugAfterWrites_ = 0;
    int afterWrites_ = 0;
    std::function<void()> afterWritesThen_;
    std::size_t stuckAt_ = kMemorySize; // kMemorySize: no stuck cell
    std::uint8_t stuckValue_ = 0;
    std::uint8_t cutCode_ = 0;
    int cutBytes_ = 0;
    std::deque<Fault> faults_;
    double faultRate_ = 0.0;
    std::vector<Fault> faultKinds_;
    std::mt19937 rng_;

    std::uint8_t seq_ = 0;
    std::vector<Frame> frames_;
    std::vector<Report> sent_;
    Report lastAnswer_{};
    bool haveLastAnswer_ = false;
    std::vector<QueuedReport> heldUnsolicited_; // sent while no handle was open
    std::map<int, Port> ports_;
    int nextPort_ = 1;
    Counters counters_;
};

// The units behind the hidapi API: unit(0) (also unit()) at path "sim:1a86:e010", unit(1) at
// "sim:1a86:e010:2". The second one starts unplugged, so by default there is one unit.
constexpr int kMaxUnits = 2;
Unit& unit();
Unit& unit(int index);
const char* unitPath(int index);

// The time answers are measured against (latency, late answers). Tests give their own clock in
// milliseconds; then a read never sleeps. An empty function goes back to the steady clock.
void setClock(std::function<std::int64_t()> nowMs);
Clock::time_point now();

} // namespace sim
