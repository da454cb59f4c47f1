// A fingerprint of all four data sets, shared by the data tests and the fault soak.
#pragma once

#include "data/DataSets.h"

#include <cstdint>

// Hash over every slot and control field of the four data sets: equal fingerprints mean nothing changed.
uint64_t Fingerprint(const DataSets &sets);
