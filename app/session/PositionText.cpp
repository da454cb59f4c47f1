#include "session/PositionText.h"

#include "platform/NumberFormat.h"

namespace kpd {

double PositionInUnits(int32_t position, const Settings &settings) {
    return double(position) * double(settings.resolutionMultiplier);
}

std::string PositionText(int32_t position, const Settings &settings) {
    return platform::FormatNumber(PositionInUnits(position, settings), settings.digits, 20);
}

} // namespace kpd
