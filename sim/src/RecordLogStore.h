// The store behind the simulator's record log: the electronics' thread adds each stream record it sends,
// any thread reads or takes them.
#ifndef KPDSIM_RECORDLOGSTORE_H
#define KPDSIM_RECORDLOGSTORE_H

#include "BoundedLog.h"
#include "kpdsim/Simulator.h"

namespace kpdsim {

using RecordLogStore = BoundedLog<SentRecord>;

} // namespace kpdsim

#endif // KPDSIM_RECORDLOGSTORE_H
