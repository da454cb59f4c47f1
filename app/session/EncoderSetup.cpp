#include "session/EncoderSetup.h"

#include "access/ComData.h"
#include "platform/NumberFormat.h"
#include "session/Session.h"
#include "session/SessionView.h"

#include <algorithm>
#include <cmath>

namespace kpd {

EncoderSetup::EncoderSetup(const Settings &settings)
    : settingsUnitType_(settings.unittype), pitchText_(platform::FormatFixed(settings.gratingPitch, 2)),
      gratings_(settings.gratingDescriptions) {
    if (settings.encodertype == EncoderUnitLinear || settings.encodertype == EncoderUnitCounts)
        ChooseEncoderUnitType(settings.encodertype);
    ChooseGrating(settings.gratingindex);
}

void EncoderSetup::ChooseEncoderUnitType(int item) {
    if (item != EncoderUnitLinear && item != EncoderUnitCounts) return;
    encoderItem_ = item;
    units_.clear();
    if (item == EncoderUnitLinear) {
        units_.assign(kLinearUnitNames.begin(), kLinearUnitNames.end());
        const bool inList = settingsUnitType_ >= 0 && settingsUnitType_ < static_cast<int>(units_.size());
        unitItem_ = inList ? settingsUnitType_ : -1;
    } else {
        units_.emplace_back(kCountsUnitName);
        unitItem_ = 0;
    }
}

void EncoderSetup::ChooseUnit(int item) {
    if (!UnitsEnabled() || item < 0 || item >= static_cast<int>(units_.size())) return;
    unitItem_ = item;
}

void EncoderSetup::ChooseGrating(int item) {
    gratingItem_ = item >= 0 && static_cast<std::size_t>(item) < gratings_.size() ? item : -1;
}

std::optional<float> EncoderSetup::Pitch() const {
    const std::optional<double> v = platform::ParseDouble(pitchText_);
    if (!v || !std::isfinite(*v) || *v < 0.0) return std::nullopt;
    const float f = static_cast<float>(*v);
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}

std::string EncoderSetup::UnitName() const {
    if (unitItem_ < 0 || unitItem_ >= static_cast<int>(units_.size())) return {};
    return units_[static_cast<std::size_t>(unitItem_)];
}

bool EncoderSetup::CanApply() const {
    if (encoderItem_ != EncoderUnitLinear && encoderItem_ != EncoderUnitCounts) return false;
    if (UnitName().empty()) return false;
    // With counts the pitch does not enter the position; a box the user cannot edit never blocks Apply.
    return encoderItem_ == EncoderUnitCounts || Pitch().has_value();
}

int EncoderSetup::ApplyTo(Settings &s, int interpolationSetting) const {
    if (!CanApply()) return 0;
    s.unittype = unitItem_;
    s.encodertype = encoderItem_;
    if (const std::optional<float> pitch = Pitch()) s.gratingPitch = *pitch;
    s.units = UnitName();
    s.gratingindex = gratingItem_;
    // The table holds numgratings entries; an index outside it (-1: no description selected) selects none.
    const int count = std::min(s.numgratings, Settings::MaxGratings);
    const int countsPerRevolution =
        gratingItem_ >= 0 && gratingItem_ < count ? s.gratings[static_cast<std::size_t>(gratingItem_)] : 0;
    s.gratingDescriptions = gratings_;
    s.ComputePositionScale(interpolationSetting);
    return countsPerRevolution;
}

bool ApplyEncoderSetup(const EncoderSetup &setup, Session &session, SessionView &view) {
    if (!setup.CanApply()) return false;
    Settings &s = session.Config();
    const int interpolation = session.Access() ? session.Access()->InterpolationSetting() : 0;
    setup.ApplyTo(s, interpolation);
    view.ShowUnits(s.units);
    // A plot that runs on starts over with the new scale.
    view.RestartPlot();
    return s.SaveSettings(session.InstallDir());
}

} // namespace kpd
