#include "workers/ReviewSteps.h"

#include "access/ComData.h"
#include "data/RingArithmetic.h"

namespace kpd {

bool MayStartWorker(ComData &com, int set) {
    if (com.Executing[set].load()) return false;
    if (com.ThreadRunning.load()) {
        com.RestartPending.store(true);
        return false;
    }
    return true;
}

float ReviewWindowStart(const ComData &com, int set) {
    const DataSetControl &ring = com.Data.Control(set);
    return RingArithmetic::WindowStartTime(com.Data.Intervals(set), ring.count.load(), ring.elapsed.load(),
                                           ring.reviewCount.load());
}

bool StepBackReview(ComData &com, int set, float &time) {
    if (com.ThreadRunning.load()) return false; // the ring belongs to the running worker
    const RingArithmetic::StepBackResult result =
        RingArithmetic::StepBack(com.Data.Control(set), com.Data.Intervals(set), com.ReviewStep.load());
    if (!result.show) return false;
    com.ReviewStep.store(true);
    time = result.time;
    return true;
}

} // namespace kpd
