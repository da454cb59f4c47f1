// The calibration selection of the status display: one bit per check box. Start Cal sends the mask in the
// high byte of its command word (0x40 + mask x 256), so every bit stays below 0x100.
#pragma once

namespace kpd::calibration {

inline constexpr int kIndex = 0x02;      // CalIndexCheckBox "Calibrate Index"
inline constexpr int kLeftLimit = 0x04;  // SetLeftLimitCheckBox "Set Left Limit"
inline constexpr int kRightLimit = 0x08; // SetRightLimitCheckBox "Set Right Limit"
inline constexpr int kGop = 0x10;        // CalGOPCheckBox "Calibrate GOP"

inline constexpr int kAll = kIndex | kLeftLimit | kRightLimit | kGop;

} // namespace kpd::calibration
