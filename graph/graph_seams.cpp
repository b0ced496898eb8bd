// Where a change made on the graph is handed to the editing code. The graph does the mirror
// write, the curve, the repaint and the channel's own send itself; the link copies are editing's.
#include "app/tarn80x.h"
#include "model/param_image.h"

namespace tarn {

// Band `band` of Cur_CH was changed by a marker drag or the flat/restore double-click.
void Tarn80X::Band_Changed_From_Graph(int band) {
    EQ_Link_Copy(Pc.Cur_CH, band);
}

// The high-pass (lowPass false) or low-pass corner of Cur_CH was dragged.
void Tarn80X::Crossover_Changed_From_Graph(bool lowPass) {
    lowPass ? LPF_Link_Copy(Pc.Cur_CH) : HPF_Link_Copy(Pc.Cur_CH);
}

} // namespace tarn
