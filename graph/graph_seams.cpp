// Where a change made on the graph is handed to the editing code. The graph does the mirror
// write, the curve, the repaint and the send itself; these add what editing owns.
#include "app/tarn80x.h"
#include "model/param_image.h"

namespace tarn {

// Band `band` of Cur_CH was changed by a marker drag or the flat/restore double-click, mirror
// already written.
void Tarn80X::Band_Changed_From_Graph(int band) { EQ_Link_Copy(Pc.Cur_CH, band); }

// The high-pass (lowPass false) or low-pass corner of Cur_CH was dragged, mirror written and the
// channel's own command sent.
void Tarn80X::Crossover_Changed_From_Graph(bool lowPass) {
    if (lowPass)
        LPF_Link_Copy(Pc.Cur_CH);
    else
        HPF_Link_Copy(Pc.Cur_CH);
}

} // namespace tarn
