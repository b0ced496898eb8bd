#include "link/frame.h"

#include "link/link_state.h"

#include <algorithm>

namespace tarn {

LinkState Link;

void Link_Reset() {
    auto replyHandler = std::move(Link.replyHandler);
    auto writeFailureHandler = std::move(Link.writeFailureHandler);
    Link = LinkState{};
    Link.replyHandler = std::move(replyHandler);
    Link.writeFailureHandler = std::move(writeFailureHandler);
}

void Rx_Append(const uint8_t* data, int n) {
    for (int i = 0; i < n; ++i)
        Link.Rx_Ring[Link.Rx_Write++] = data[i];
}

void Parse_Frame() {
    LinkState& l = Link;
    const uint16_t buffered = static_cast<uint16_t>(l.Rx_Write - l.Rx_Read);
    if (buffered < 7) return;

    // "Take" one byte: false when nothing is left, with Rx_Read staying where it is. Positions are
    // 16-bit, so a frame lying across the end of the ring is read like any other.
    auto take = [&l](uint8_t& out) {
        if (l.Rx_Read == l.Rx_Write) return false;
        out = l.Rx_Ring[l.Rx_Read++];
        return true;
    };

    while (l.Rx_Read != l.Rx_Write && l.Rx_Ring[l.Rx_Read] != kStartMarker)
        ++l.Rx_Read;
    uint8_t byte = 0;
    if (!take(byte)) return; // the start marker
    if (!take(byte) || byte != kDirFromUnit) return;
    uint8_t seq = 0, len = 0;
    if (!take(seq) || !take(len)) return;
    uint8_t sum = static_cast<uint8_t>(seq + len + 0x24);
    uint8_t code = l.Reply_Code;
    std::array<uint8_t, 254> data;
    for (int i = 0; i < len; ++i) {
        if (!take(byte)) return;
        sum = static_cast<uint8_t>(sum + byte);
        if (i == 0)
            code = byte;
        else
            data[static_cast<size_t>(i - 1)] = byte;
    }
    // The reply is published only once the whole frame checks out, so a damaged frame leaves the
    // previous reply intact.
    uint8_t checksum = 0, end = 0;
    if (!take(checksum) || checksum != sum) return;
    if (!take(end) || end != kEndMarker) return;
    l.Reply_Code = code;
    const int dataLen = len > 0 ? len - 1 : 0;
    std::copy(data.begin(), data.begin() + dataLen, l.Reply_Data.begin());
    l.Reply_Data_Len = static_cast<uint8_t>(dataLen);
    if (l.replyHandler) l.replyHandler();
}

} // namespace tarn

namespace tarn {

SceneNameStore Scenes;

void Scene_Name_Fallback(int k) {
    auto& entry = Scenes.Scene_Name.at(static_cast<size_t>(k - 1));
    entry.fill(0);
    const char text[] = {'M', 'o', 'd', 'e', static_cast<char>('0' + k)};
    std::copy(std::begin(text), std::end(text), entry.begin());
    Scenes.Scene_Valid[static_cast<size_t>(k - 1)] = 0;
}

} // namespace tarn
