// Feeds arbitrary bytes to the frame decoder: once as one span, and through the receive ring,
// starting anywhere in it (so frames lie across its end too), scanning until nothing more is
// consumed.
#include "link/frame.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn;
    if (size < 2) return 0;
    const uint8_t* bytes = data + 2;
    const size_t n = std::min<size_t>(size - 2, 60000);

    Reply reply;
    const DecodeResult r = Decode_Frame(bytes, n, reply);
    if (r.used > n) std::abort();
    if (r.status == DecodeStatus::Ok && (reply.length < 0 || reply.length > 254)) std::abort();

    static RxRing ring;
    ring.read = ring.write = static_cast<uint16_t>(data[0] << 8 | data[1]);
    ring.append(bytes, static_cast<int>(n));
    for (;;) {
        const uint16_t before = ring.read;
        if (Scan_Ring(ring, reply) && reply.length > 254) std::abort();
        if (ring.read == before) break;
        if (static_cast<uint16_t>(ring.write - ring.read) > static_cast<uint16_t>(n)) std::abort();
    }
    return 0;
}
