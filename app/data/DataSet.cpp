#include "data/DataSet.h"

void DataSetControl::Clear() {
    count.store(0);
    elapsed.store(0.0f);
    reviewCount.store(0);
    wrapped.store(false);
    resetOnNextLiveStart.store(false);
}
