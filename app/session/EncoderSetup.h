// EncoderSetup: the choices of the encoder setup dialog ("Encoder Setup", menu item "&Units...") and what
// applying them changes. Positions are shown either as encoder counts or as a length in one of six units;
// the length per count (the resolution multiplier) follows from the unit, the grating pitch and the
// interpolation setting (Settings::ComputePositionScale).
//
// The dialog is filled from an EncoderSetup made from the settings when it is shown, hands each click to
// it and shows what it then holds; Apply hands it to ApplyEncoderSetup. Plain C++, user-interface thread.
#pragma once

#include "data/Settings.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kpd {

class Session;
class SessionView;

// Items of the encoder unit type group; the item index is the "encodertype=" value.
enum EncoderUnitItem : int { EncoderUnitLinear = 0, EncoderUnitCounts = 1 };

// The length units in unit type order ("unittype=" is the index), and the one unit of encoder counts.
inline constexpr std::array<const char *, 6> kLinearUnitNames = {"nanometers",  "microns", "mm",
                                                                 "microinches", "mils",    "inches"};
inline constexpr const char *kCountsUnitName = "counts";

class EncoderSetup {
public:
    // The dialog as it opens for these settings: the encoder unit type selected (with its unit list as a
    // click on it fills it), the grating descriptions with the grating index, and the grating pitch with two
    // decimals. An encoder type other than 0 or 1 selects no item; then the unit list stays empty.
    explicit EncoderSetup(const Settings &settings);

    // A click on the encoder unit type group. Linear: the six length units, the unit of the settings' unit
    // type selected (not the one selected before in the dialog), the unit list and the pitch enabled.
    // Encoder counts: the single unit "counts", selected; the unit list and the pitch disabled.
    void ChooseEncoderUnitType(int item);
    // A click on the unit list (ignored while the list is disabled or for an item outside it).
    void ChooseUnit(int item);
    // The text of the grating pitch box (micrometres).
    void SetPitchText(std::string text) { pitchText_ = std::move(text); }
    // The selection of the grating list (-1: none).
    void ChooseGrating(int item);

    int EncoderUnitType() const { return encoderItem_; }
    const std::vector<std::string> &Units() const { return units_; }
    int UnitItem() const { return unitItem_; }
    bool UnitsEnabled() const { return encoderItem_ == EncoderUnitLinear; }
    // The pitch can be typed only for length units: it is what turns counts into a length.
    bool PitchEnabled() const { return encoderItem_ == EncoderUnitLinear; }
    const std::string &PitchText() const { return pitchText_; }
    // The pitch box as a number: a finite value of 0 or more, else nothing.
    std::optional<float> Pitch() const;
    const std::vector<std::string> &Gratings() const { return gratings_; }
    // The selected grating description; -1 when the settings' index is outside the list.
    int GratingItem() const { return gratingItem_; }
    // The name of the selected unit ("" when none is selected).
    std::string UnitName() const;
    // Apply has something to apply: an encoder unit type, a unit and a valid pitch.
    bool CanApply() const;

    // Apply on the settings, in this order: unit type = unit item; encoder type = encoder unit item; grating
    // pitch = the pitch box; units name = the selected unit's name; grating index = the grating item; the
    // grating descriptions = the dialog's list; then the resolution multiplier, the interpolation
    // multiplier and the digits are recomputed for the interpolation setting. Returns the counts per
    // revolution of the selected grating, or 0 when the grating index is outside the grating table. Does
    // nothing and returns 0 when CanApply() is false.
    int ApplyTo(Settings &settings, int interpolationSetting) const;

private:
    int settingsUnitType_;
    int encoderItem_ = -1;
    std::vector<std::string> units_;
    int unitItem_ = -1;
    std::string pitchText_;
    std::vector<std::string> gratings_;
    int gratingItem_ = -1;
};

// Apply of the dialog in the session: the setup goes into the session's settings (with the access object's
// interpolation setting, 0 without one), UnitsBox shows the new units name, a running plot starts over
// and the settings file is written. The next status sample and the next saved data file use the new
// units. Returns false when the dialog had nothing to apply or the settings file could not be written.
bool ApplyEncoderSetup(const EncoderSetup &setup, Session &session, SessionView &view);

} // namespace kpd
