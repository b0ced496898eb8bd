#include "link/transfer_job.h"

namespace tarn {

bool Answer_Matches(const Reply& answer, const Expected& expected) {
    if (answer.code != expected.code || answer.length < expected.minData) return false;
    if (expected.arg0 >= 0 && (answer.length < 1 || answer.data[0] != expected.arg0)) return false;
    if (expected.arg1 >= 0 && (answer.length < 2 || answer.data[1] != expected.arg1)) return false;
    return true;
}

} // namespace tarn
