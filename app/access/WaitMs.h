// Blocking pause on the monotonic clock.
#pragma once

// Blocks the calling thread until the monotonic clock has advanced by ms milliseconds. The thread sleeps
// meanwhile (it does not spin); a pause of 0 or less returns at once.
void WaitMs(int ms);
