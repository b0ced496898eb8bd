// Feeds arbitrary bytes to the frame scanner, starting anywhere in the ring (so frames lie across
// its end too), and scans until nothing more is consumed.
#include "link/frame.h"
#include "link/link_state.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    if (size < 2) return 0;
    const uint16_t start = static_cast<uint16_t>(data[0] << 8 | data[1]);
    Link_Reset();
    Link.Rx_Read = start;
    Link.Rx_Write = start;
    Rx_Append(data + 2, static_cast<int>(std::min<size_t>(size - 2, 60000)));
    int accepted = 0;
    Link.replyHandler = [&accepted] {
        if (Link.Reply_Data_Len > Link.Reply_Data.size()) std::abort();
        ++accepted;
    };
    for (;;) {
        const uint16_t before = Link.Rx_Read;
        Parse_Frame();
        if (Link.Rx_Read == before) break;
    }
    Link.replyHandler = nullptr;
    return 0;
}
