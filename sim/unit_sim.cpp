// The simulated unit: frame decoding, command handling, answers and the per-handle input queues.
#include "sim/unit_sim.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace sim {

namespace {

constexpr std::uint8_t kClassWrite = 0x05;
constexpr std::uint8_t kClassRequest = 0x06;

// Write codes (class 0x05).
enum : std::uint8_t {
    W_FactoryReset = 0x01,
    W_InputSource = 0x02,
    W_ChVol = 0x04,
    W_ChMute = 0x05,
    W_Hpf = 0x06,
    W_Lpf = 0x07,
    W_EqBand = 0x08,
    W_ChDelay = 0x09,
    W_ChPhase = 0x0A,
    W_EqBypass = 0x0B,
    W_TotalVol = 0x0D,
    W_SceneSave = 0x0E,
    W_SceneCall = 0x0F,
    W_SceneDelete = 0x11,
    W_NoiseGate = 0x13,
    W_SceneBlock = 0x15,
    W_ChNames = 0x17,
    W_ImageBlock = 0x41,
    W_Upgrade = 0xB0,
    W_Close = 0xC1,
};

// Request codes (class 0x06) and the codes of their answers.
enum : std::uint8_t {
    R_Ping = 0x00,
    R_SceneName = 0x10,
    R_SceneBlock = 0x15,
    R_DeviceName = 0x16,
    R_Block = 0xAA,
};

// Unsolicited report codes the unit also keeps in its memory.
constexpr std::uint8_t U_InputSource = 0x02;
constexpr std::uint8_t U_TotalVol = 0x0D;

constexpr std::uint16_t kFinalChunk = 0xFFFF;
constexpr std::uint32_t kMaxChunks = 0x8000; // numbered chunks one upgrade may hold
constexpr std::size_t kChunkSize = 16;

// Bytes 0..3 hold the firmware's own version: writes of the memory never change them.
constexpr std::size_t kReadOnlyPrefix = 4;

constexpr std::size_t kMaxWriteLength = 4096; // longer writes fail like the kernel refuses them

std::function<std::int64_t()>& testClock() {
    static std::function<std::int64_t()> clock;
    return clock;
}

std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

void copyKeepingVersion(Memory& dst, std::size_t at, const std::uint8_t* src, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (at + i >= kReadOnlyPrefix && at + i < kMemorySize) dst[at + i] = src[i];
    }
}

bool validChannel(std::uint8_t ch) {
    return ch < kChannels;
}
bool validScene(std::uint8_t s) {
    return s >= 1 && s <= kScenes;
}

// Input report: one lead byte, then FA 2A seq L payload[L] checksum F5, the rest zero.
Report makeReport(std::uint8_t seq, const std::vector<std::uint8_t>& payload) {
    Report r{};
    const std::size_t len = std::min(payload.size(), kMaxAnswerData + 1);
    r[0] = kInLead;
    r[1] = kStart;
    r[2] = kDirToPc;
    r[3] = seq;
    r[4] = std::uint8_t(len);
    std::uint8_t sum = std::uint8_t(kStart + kDirToPc + seq + len);
    for (std::size_t i = 0; i < len; ++i) {
        r[5 + i] = payload[i];
        sum = std::uint8_t(sum + payload[i]);
    }
    r[5 + len] = sum;
    r[6 + len] = kEnd;
    return r;
}

} // namespace

Unit::Unit() {
    loadDemoState();
}

bool Unit::startAs(const std::string& state) {
    if (state == "tuned") {
        loadDemoState();
    } else if (state == "factory") {
        reset();
    } else if (state == "stuck") {
        loadDemoState();
        stickByte(off::ChMute + 5, 1);
    } else if (state == "absent" || state == "locked") {
        loadDemoState();
        if (state == "absent")
            setPlugged(false);
        else
            setOpenable(false);
    } else {
        return false;
    }
    return true;
}

void Unit::reset() {
    restoreFactory();
    static const char kName[] = "TQ_AUD48";
    name_.assign(kName, kName + 8);
    name_.resize(kNameSize, 0x00);
    fw_ = Firmware{};
    serial_.clear();
    const bool arrived = !plugged_;
    plugged_ = true;
    openable_ = true;
    silent_ = false;
    latencyMs_ = 0;
    lateMs_ = 0;
    lostWrites_ = 0;
    stuckAt_ = kMemorySize;
    cutBytes_ = 0;
    faults_.clear();
    faultRate_ = 0.0;
    faultKinds_.clear();
    rng_.seed(std::mt19937::default_seed);
    seq_ = 0;
    frames_.clear();
    sent_.clear();
    haveLastAnswer_ = false;
    heldUnsolicited_.clear();
    for (auto& entry : ports_)
        entry.second.queue.clear();
    counters_ = Counters{};
    if (arrived && arrivalHook_) arrivalHook_();
}

std::uint16_t Unit::u16(std::size_t offset) const {
    if (offset + 1 >= kMemorySize) throw std::out_of_range("sim::Unit::u16");
    return le16(&mem_[offset]);
}

void Unit::setU16(std::size_t offset, std::uint16_t value) {
    if (offset + 1 >= kMemorySize) throw std::out_of_range("sim::Unit::setU16");
    mem_[offset] = std::uint8_t(value & 0xFF);
    mem_[offset + 1] = std::uint8_t(value >> 8);
}

Scene& Unit::scene(int k) {
    if (k < 1 || k > kScenes) throw std::out_of_range("sim::Unit::scene");
    return scenes_[std::size_t(k - 1)];
}

const Scene& Unit::scene(int k) const {
    if (k < 1 || k > kScenes) throw std::out_of_range("sim::Unit::scene");
    return scenes_[std::size_t(k - 1)];
}

// ---- knobs ----

void Unit::setPlugged(bool plugged) {
    if (plugged_ && !plugged) {
        for (auto& entry : ports_) {
            entry.second.dead = true;
            entry.second.queue.clear();
        }
        heldUnsolicited_.clear();
    }
    const bool changed = plugged_ != plugged;
    plugged_ = plugged;
    if (changed && arrivalHook_) arrivalHook_();
}

void Unit::setNameBytes(const std::vector<std::uint8_t>& bytes) {
    name_ = bytes;
    if (name_.size() > kMaxAnswerData) name_.resize(kMaxAnswerData);
}

void Unit::injectFaults(std::vector<Fault> faults) {
    for (Fault f : faults)
        faults_.push_back(f);
}

void Unit::setFaultRate(double rate, std::uint32_t seed, std::vector<Fault> kinds) {
    faultRate_ = std::clamp(rate, 0.0, 1.0);
    faultKinds_ = std::move(kinds);
    rng_.seed(seed);
}

void Unit::setSilent(bool silent) {
    silent_ = silent;
}

void Unit::stickByte(std::size_t offset, int value) {
    if (offset >= kMemorySize || value < 0 || value > 0xFF) {
        stuckAt_ = kMemorySize;
        return;
    }
    stuckAt_ = offset;
    stuckValue_ = std::uint8_t(value);
    mem_[stuckAt_] = stuckValue_;
}

void Unit::setLatencyMs(int ms) {
    latencyMs_ = std::max(0, ms);
}

// A report the unit sends by itself (a button or the remote changed something on the unit). It is
// not subject to faults. Input source and master volume also change the unit's memory.
void Unit::queueUnsolicited(std::uint8_t code, std::vector<std::uint8_t> data) {
    if (data.size() > kMaxAnswerData) data.resize(kMaxAnswerData);
    if (!plugged_) return;
    if (code == U_InputSource && data.size() >= 1) mem_[off::InputSource] = data[0];
    if (code == U_TotalVol && data.size() >= 2) {
        mem_[off::TotalVol] = data[0];
        mem_[off::TotalVol + 1] = data[1];
    }
    std::vector<std::uint8_t> payload;
    payload.reserve(data.size() + 1);
    payload.push_back(code);
    payload.insert(payload.end(), data.begin(), data.end());
    QueuedReport q;
    q.bytes = buildReport(payload);
    q.readyAt = now();
    if (openHandles() == 0) {
        heldUnsolicited_.push_back(q);
        return;
    }
    deliver(q);
}

// ---- ports ----

Port* Unit::port(int id) {
    auto it = ports_.find(id);
    return it == ports_.end() ? nullptr : &it->second;
}

const Port* Unit::port(int id) const {
    auto it = ports_.find(id);
    return it == ports_.end() ? nullptr : &it->second;
}

int Unit::openHandles() const {
    int n = 0;
    for (const auto& entry : ports_)
        n += entry.second.dead ? 0 : 1;
    return n;
}

std::size_t Unit::queuedReports() const {
    for (auto it = ports_.rbegin(); it != ports_.rend(); ++it) {
        if (!it->second.dead) return it->second.queue.size();
    }
    return 0;
}

int Unit::openPort() {
    if (!plugged_ || !openable_) {
        ++counters_.failedOpens;
        return -1;
    }
    ++counters_.opens;
    int id = nextPort_++;
    Port& p = ports_[id];
    for (const QueuedReport& q : heldUnsolicited_)
        p.queue.push_back(q);
    heldUnsolicited_.clear();
    return id;
}

void Unit::closePort(int id) {
    if (ports_.erase(id) != 0) ++counters_.closes;
}

bool Unit::hasPort(int id) const {
    return port(id) != nullptr;
}

void Unit::setNonblocking(int id, bool nonblocking) {
    if (Port* p = port(id)) p->nonblocking = nonblocking;
}

const wchar_t* Unit::portError(int id) const {
    const Port* p = port(id);
    return p ? p->error.c_str() : nullptr;
}

void Unit::deliver(const QueuedReport& report) {
    for (auto& entry : ports_) {
        Port& p = entry.second;
        if (p.dead) continue;
        if (p.queue.size() >= kPortQueueLimit) {
            ++counters_.overflowDrops;
            continue;
        }
        p.queue.push_back(report);
    }
}

int Unit::writePort(int id, const std::uint8_t* data, std::size_t length) {
    Port* p = port(id);
    if (!p) return -1;
    if (p->dead || !plugged_) {
        ++counters_.failedWrites;
        p->error = L"Device disconnected";
        return -1;
    }
    if (!data || length == 0 || length > kMaxWriteLength) {
        ++counters_.failedWrites;
        p->error = L"Invalid report length";
        return -1;
    }
    ++counters_.writes;
    p->error = L"Success";
    Frame frame;
    if (!decodeReport(data, length, frame)) {
        ++counters_.badReports;
        return int(length);
    }
    frames_.push_back(frame);
    if (lostWrites_ > 0)
        --lostWrites_;
    else if (!silent_) {
        execute(frame.payload);
        if (stuckAt_ < kMemorySize) mem_[stuckAt_] = stuckValue_;
        if (writeHook_) writeHook_();
    }
    if (unplugAfterWrites_ > 0 && --unplugAfterWrites_ == 0) setPlugged(false);
    if (afterWrites_ > 0 && --afterWrites_ == 0 && afterWritesThen_) afterWritesThen_();
    return int(length);
}

int Unit::readPort(int id, std::uint8_t* data, std::size_t length, int timeoutMs) {
    Port* p = port(id);
    if (!p) return -1;
    ++counters_.reads;
    if (p->dead || !plugged_) {
        ++counters_.failedReads;
        p->error = L"Device disconnected";
        return -1;
    }
    if (!data || length == 0) {
        ++counters_.failedReads;
        p->error = L"Invalid buffer";
        return -1;
    }
    p->error = L"Success";
    if (p->nonblocking) timeoutMs = 0;
    if (silent_ || p->queue.empty()) {
        ++counters_.emptyReads;
        return 0;
    }
    QueuedReport& head = p->queue.front();
    if (head.holdReads > 0 && (!head.holdOnceReady || now() >= head.readyAt)) {
        --head.holdReads;
        ++counters_.emptyReads;
        return 0;
    }
    const Clock::time_point start = now();
    if (start < head.readyAt) {
        Clock::duration wait = head.readyAt - start;
        if (timeoutMs >= 0)
            wait = std::min<Clock::duration>(wait, std::chrono::milliseconds(timeoutMs));
        // On a test's clock time does not pass while a read waits.
        if (wait > Clock::duration::zero() && !testClock()) std::this_thread::sleep_for(wait);
        if (now() < head.readyAt) {
            ++counters_.emptyReads;
            return 0;
        }
    }
    std::size_t n = std::min(length, kReportSize);
    std::memcpy(data, head.bytes.data(), n);
    p->queue.pop_front();
    return int(n);
}

// ---- frames ----

// Output report: 00 20 FA A2 seq N payload[N] checksum F5, written as exactly 32 bytes.
bool Unit::decodeReport(const std::uint8_t* d, std::size_t length, Frame& out) const {
    if (length != kReportSize) return false;
    if (d[0] != 0x00 || d[1] != kOutLead || d[2] != kStart || d[3] != kDirToUnit) return false;
    std::size_t n = d[5];
    if (n > kMaxCommandPayload) return false;
    std::uint8_t sum = std::uint8_t(kStart + kDirToUnit + d[4] + d[5]);
    for (std::size_t i = 0; i < n; ++i)
        sum = std::uint8_t(sum + d[6 + i]);
    if (d[6 + n] != sum || d[7 + n] != kEnd) return false;
    out.seq = d[4];
    out.payload.assign(d + 6, d + 6 + n);
    return true;
}

Report Unit::buildReport(const std::vector<std::uint8_t>& payload) {
    Report r = makeReport(seq_++, payload);
    sent_.push_back(r);
    return r;
}

bool Unit::nextFault(Fault& fault) {
    if (!faults_.empty()) {
        fault = faults_.front();
        faults_.pop_front();
        ++counters_.faults;
        return true;
    }
    if (faultRate_ <= 0.0) return false;
    // Derived from the raw engine output so a seed gives the same faults with any library.
    double u = double(rng_()) / 4294967296.0;
    if (u >= faultRate_) return false;
    const auto draw = std::uint32_t(rng_());
    fault = faultKinds_.empty() ? Fault(draw % 5) : faultKinds_[draw % faultKinds_.size()];
    ++counters_.faults;
    return true;
}

void Unit::answer(std::vector<std::uint8_t> payload) {
    ++counters_.answers;
    if (cutBytes_ > 0 && !payload.empty() && payload[0] == cutCode_)
        payload.resize(std::max<std::size_t>(
            1, payload.size() - std::min<std::size_t>(payload.size(), std::size_t(cutBytes_))));
    QueuedReport q;
    q.bytes = buildReport(payload);
    q.readyAt = now() + std::chrono::milliseconds(latencyMs_);
    const Report original = q.bytes;

    Fault fault;
    if (nextFault(fault)) {
        switch (fault) {
        case Fault::Drop:
            lastAnswer_ = original;
            haveLastAnswer_ = true;
            return;
        case Fault::Garble:
            // Break both markers and the code byte, and leave no start marker anywhere, so
            // neither a frame scanner nor a reader of fixed positions can take it.
            q.bytes[1] ^= 0xFF;
            q.bytes[2] ^= 0xFF;
            q.bytes[5] ^= 0xFF;
            for (std::uint8_t& b : q.bytes) {
                if (b == kStart) b = kStart + 1;
            }
            break;
        case Fault::BadChecksum:
            q.bytes[5 + q.bytes[4]] ^= 0xFF;
            break;
        case Fault::Late:
            if (lateMs_ > 0)
                q.readyAt += std::chrono::milliseconds(lateMs_);
            else
                q.holdReads = 1;
            break;
        case Fault::Overdue:
            q.readyAt += std::chrono::milliseconds(lateMs_);
            q.holdReads = 1;
            q.holdOnceReady = true;
            break;
        case Fault::Stale: {
            QueuedReport old;
            old.readyAt = q.readyAt;
            if (haveLastAnswer_) {
                old.bytes = lastAnswer_;
            } else {
                // Nothing was sent before: an old keep-alive answer stands in.
                old.bytes = makeReport(std::uint8_t(original[3] - 1), {R_Ping});
            }
            deliver(old);
            break;
        }
        }
    }
    lastAnswer_ = original;
    haveLastAnswer_ = true;
    deliver(q);
}

// ---- commands ----

void Unit::execute(const std::vector<std::uint8_t>& p) {
    bool done = false;
    if (p.size() >= 2 && p[0] == kClassWrite) done = executeWrite(p);
    if (p.size() >= 2 && p[0] == kClassRequest) done = executeRequest(p);
    if (!done) ++counters_.ignoredCommands;
}

// Values are stored exactly as carried; only the indices (channel, band, scene, block) are
// checked, and a command whose length is not its own is not carried out.
bool Unit::executeWrite(const std::vector<std::uint8_t>& p) {
    const std::size_t n = p.size();
    const std::uint8_t* a = p.data() + 2; // arguments
    switch (p[1]) {
    case W_FactoryReset:
        if (n != 3 || a[0] != 1) return false;
        restoreFactory();
        ++counters_.factoryResets;
        return true;
    case W_InputSource:
        if (n != 3) return false;
        mem_[off::InputSource] = a[0];
        return true;
    case W_ChVol:
        if (n != 5 || !validChannel(a[0])) return false;
        copyKeepingVersion(mem_, off::ChVol + 2 * std::size_t(a[0]), a + 1, 2);
        return true;
    case W_ChMute:
        if (n != 4 || !validChannel(a[0])) return false;
        mem_[off::ChMute + a[0]] = a[1];
        return true;
    case W_Hpf:
    case W_Lpf: {
        if (n != 8 || !validChannel(a[0])) return false;
        const bool hp = p[1] == W_Hpf;
        const std::size_t ch = a[0];
        mem_[(hp ? off::HpfType : off::LpfType) + ch] = a[1];
        copyKeepingVersion(mem_, (hp ? off::HpfFreq : off::LpfFreq) + 2 * ch, a + 2, 2);
        mem_[(hp ? off::HpfSlope : off::LpfSlope) + ch] = a[4];
        mem_[(hp ? off::HpfOff : off::LpfOff) + ch] = a[5];
        return true;
    }
    case W_EqBand:
        if (n != 9 || !validChannel(a[0]) || a[1] >= kBands) return false;
        copyKeepingVersion(mem_, off::eqFreq(a[0], a[1]), a + 2, 2);
        copyKeepingVersion(mem_, off::eqGain(a[0], a[1]), a + 4, 2);
        mem_[off::eqQ(a[0], a[1])] = a[6];
        return true;
    case W_ChDelay:
        if (n != 5 || !validChannel(a[0])) return false;
        copyKeepingVersion(mem_, off::ChDelay + 2 * std::size_t(a[0]), a + 1, 2);
        return true;
    case W_ChPhase:
        if (n != 4 || !validChannel(a[0])) return false;
        mem_[off::ChPhase + a[0]] = a[1];
        return true;
    case W_EqBypass:
        if (n != 4 || !validChannel(a[0])) return false;
        mem_[off::EqBypass + a[0]] = a[1];
        return true;
    case W_TotalVol:
        if (n != 4) return false;
        copyKeepingVersion(mem_, off::TotalVol, a, 2);
        return true;
    case W_SceneSave: {
        if (n != 3 + kNameSize || !validScene(a[0])) return false;
        Scene& s = scenes_[a[0] - 1u];
        s.image = mem_;
        std::memcpy(s.name.data(), a + 1, kNameSize);
        s.used = true;
        ++counters_.sceneSaves;
        return true;
    }
    case W_SceneCall: {
        if (n != 3 || !validScene(a[0])) return false;
        const Scene& s = scenes_[a[0] - 1u];
        ++counters_.sceneRecalls;
        if (s.used) {
            copyKeepingVersion(mem_, kReadOnlyPrefix, s.image.data() + kReadOnlyPrefix,
                               kMemorySize - kReadOnlyPrefix);
        }
        return true;
    }
    case W_SceneDelete: {
        if (n != 3 || !validScene(a[0])) return false;
        Scene& s = scenes_[a[0] - 1u];
        s.image.fill(0xFF); // an erased place reads back as erased flash
        s.name.fill(0xFF);
        s.used = false;
        ++counters_.sceneDeletes;
        return true;
    }
    case W_NoiseGate:
        if (n != 4) return false;
        mem_[off::NoiseGate] = a[0];
        mem_[off::NoiseGate + 1] = 0;
        noiseGateOn_ = a[1];
        return true;
    case W_SceneBlock: {
        if (n != 4 + kBlockSize || !validScene(a[0]) || a[1] >= kSceneBlocks) return false;
        Scene& s = scenes_[a[0] - 1u];
        std::memcpy(s.image.data() + std::size_t(a[1]) * kBlockSize, a + 2, kBlockSize);
        s.used = true;
        // The closing block commits the scene and gets no acknowledgement.
        if (a[1] == kSceneBlocks - 1) {
            ++counters_.sceneLoads;
        } else {
            answer({W_SceneBlock, a[0], a[1]});
        }
        return true;
    }
    case W_ChNames:
        if (n != 2 + kChannels) return false;
        std::memcpy(&mem_[off::ChName], a, kChannels);
        return true;
    case W_ImageBlock:
        if (n != 3 + kBlockSize || a[0] >= kImageBlocks) return false;
        copyKeepingVersion(mem_, std::size_t(a[0]) * kBlockSize, a + 1, kBlockSize);
        // The closing block commits the image and gets no acknowledgement.
        if (a[0] == kImageBlocks - 1) {
            ++counters_.imageLoads;
        } else {
            answer({W_ImageBlock, a[0]});
        }
        return true;
    case W_Upgrade:
        if (n != 4 + kChunkSize) return false;
        firmwareChunk(std::uint16_t((a[0] << 8) | a[1]), a + 2);
        return true;
    case W_Close:
        if (n != 3 || a[0] != 1) return false;
        ++counters_.closeCommands;
        return true;
    default:
        return false;
    }
}

// Chunks must come in order; the chunk just accepted may come again (it then replaces the first
// copy). Chunk 0 starts a new upgrade. The final chunk (0xFFFF) completes the image; the unit
// then installs it and does not acknowledge that chunk.
void Unit::firmwareChunk(std::uint16_t number, const std::uint8_t* data) {
    auto startUpgrade = [this] {
        fw_.bytes.clear();
        fw_.chunks = 0;
        fw_.complete = false;
    };
    if (number == kFinalChunk) {
        if (fw_.complete) startUpgrade();
        fw_.bytes.resize(std::size_t(fw_.chunks) * kChunkSize);
        fw_.bytes.insert(fw_.bytes.end(), data, data + kChunkSize);
        fw_.complete = true;
        ++fw_.installs;
        return;
    }
    const bool resendOfFirst = number == 0 && fw_.chunks == 1 && !fw_.complete;
    if (number == 0 && !resendOfFirst) startUpgrade();
    if (fw_.complete || number >= kMaxChunks) {
        ++fw_.rejected;
        return;
    }
    const std::size_t at = std::size_t(number) * kChunkSize;
    if (number == fw_.chunks) {
        fw_.bytes.resize(at + kChunkSize);
        ++fw_.chunks;
    } else if (std::uint32_t(number) + 1 != fw_.chunks) {
        ++fw_.rejected;
        return;
    }
    std::memcpy(fw_.bytes.data() + at, data, kChunkSize);
    answer({W_Upgrade, std::uint8_t(number >> 8), std::uint8_t(number & 0xFF)});
}

bool Unit::executeRequest(const std::vector<std::uint8_t>& p) {
    const std::size_t n = p.size();
    const std::uint8_t* a = p.data() + 2;
    switch (p[1]) {
    case R_Ping:
        if (n != 2) return false;
        answer({R_Ping});
        return true;
    case R_DeviceName: {
        if (n != 2) return false;
        std::vector<std::uint8_t> reply{R_DeviceName};
        reply.insert(reply.end(), name_.begin(), name_.end());
        answer(reply);
        return true;
    }
    case R_Block: {
        // Any block inside the memory is answered; the application asks only 0..54.
        if (n != 3 || a[0] >= kAnswerableBlocks) return false;
        std::vector<std::uint8_t> reply{R_Block, a[0]};
        const std::uint8_t* src = mem_.data() + std::size_t(a[0]) * kBlockSize;
        reply.insert(reply.end(), src, src + kBlockSize);
        answer(reply);
        return true;
    }
    case R_SceneName: {
        if (n != 3 || !validScene(a[0])) return false;
        const Scene& s = scenes_[a[0] - 1u];
        std::vector<std::uint8_t> reply{R_SceneName, a[0]};
        reply.insert(reply.end(), s.name.begin(), s.name.end());
        answer(reply);
        return true;
    }
    case R_SceneBlock: {
        if (n != 4 || !validScene(a[0]) || a[1] >= kSceneBlocks) return false;
        const Scene& s = scenes_[a[0] - 1u];
        std::vector<std::uint8_t> reply{R_SceneBlock, a[0], a[1]};
        const std::uint8_t* src = s.image.data() + std::size_t(a[1]) * kBlockSize;
        reply.insert(reply.end(), src, src + kBlockSize);
        answer(reply);
        return true;
    }
    default:
        return false;
    }
}

Unit& unit() {
    return unit(0);
}

Unit& unit(int index) {
    static Unit units[kMaxUnits];
    static bool started = false;
    if (!started) {
        started = true;
        for (int i = 1; i < kMaxUnits; ++i)
            units[i].setPlugged(false);
    }
    if (index < 0 || index >= kMaxUnits) throw std::out_of_range("sim::unit");
    return units[index];
}

const char* unitPath(int index) {
    static const char* const paths[kMaxUnits] = {"sim:1a86:e010", "sim:1a86:e010:2"};
    return index >= 0 && index < kMaxUnits ? paths[index] : nullptr;
}

void setClock(std::function<std::int64_t()> nowMs) {
    testClock() = std::move(nowMs);
}

Clock::time_point now() {
    if (testClock()) return Clock::time_point(std::chrono::milliseconds(testClock()()));
    return Clock::now();
}

} // namespace sim
