// Settings: the display and unit settings kept in "KPD.ini" and the grating descriptions kept in
// "grating2.ini", both in the install directory, plus the values derived from them.
//
// Field names follow the keys of "KPD.ini". All numbers are written and read with "." as the decimal
// separator, independent of the process locale.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Settings {
public:
    static constexpr int MaxGratings = 100;
    static constexpr const char *SettingsFileName = "KPD.ini";
    static constexpr const char *GratingFileName = "grating2.ini";
    // Beside "KPD.ini", whose fixed layout other programs read: the values it has no line for
    // ("gratingpitch=").
    static constexpr const char *UnitsFileName = "KPDunits.ini";

    // ---- Fields stored in "KPD.ini" (zero, false or empty until loaded) ----
    float siglevelmult = 0.0f;                   // signal level multiplier (read and written back only)
    int32_t lissplot = 0;                        // points of the encoder signal plot
    float positionplot = 0.0f;                   // time window of the signal plots in seconds (at most 65)
    float minimumcircle = 0.0f;                  // inner indicator circle radius
    float maximumcircle = 0.0f;                  // outer indicator circle radius
    bool showcircles = false;                    // draw the indicator circles
    int32_t encodertype = 0;                     // 0 length units, 1 counts
    int32_t unittype = 0;                        // 0 nm, 1 microns, 2 mm, 3 microinches, 4 mils, 5 inches
    int32_t digits = 0;                          // decimals of the position display
    std::string units;                           // units text (no spaces)
    int32_t signalplot = 0;                      // points of the signal strength plot
    int32_t gratingindex = 0;                    // selected grating table entry
    int32_t encoderplottype = 0;                 // plot type item in display mode 1
    int32_t positionplottype = 0;                // plot type item in display mode 3
    int32_t numgratings = 0;                     // entries used in gratings (0..MaxGratings)
    std::array<int32_t, MaxGratings> gratings{}; // counts per revolution of each grating

    // Grating descriptions from "grating2.ini", one per grating.
    std::vector<std::string> gratingDescriptions;

    // ---- Derived values (not stored in "KPD.ini") ----
    float resolutionMultiplier = 0.0f;    // display units per count
    float interpolationMultiplier = 0.0f; // 1.0 after ComputePositionScale
    float gratingPitch = 0.0f;            // micrometres, set by the encoder setup dialog, kept in "KPDunits.ini"
    int generation = 0;                   // bits 5..7 of FirmwareVersion, stored by the search

    // Sets every stored field, the grating table and the descriptions to their defaults.
    void SetDefaults();

    // Reads "KPD.ini" (and "grating2.ini" when a "numgratings=" line is met) from installDir.
    // Returns true after a complete read without error. When the file is missing or cannot be used (a
    // malformed value, a grating list cut short, "grating2.ini" missing, unreadable), every stored field
    // gets its default and false is returned. A missing file is no error and says nothing. A file that
    // cannot be used is left as it is and kept beside it as "KPD.ini.malformed" (".2", ".3", ... when an
    // earlier different copy has that name; an earlier copy is never overwritten, and a file already kept
    // with the same contents is not copied again), and standard error says what is wrong, that the
    // defaults apply and where the file is kept.
    // The grating pitch is read from "KPDunits.ini" whatever became of "KPD.ini". Like the other derived
    // values it is left as it was (0 at start) when that file is missing, or cannot be used: such a file is
    // kept and reported in the same way.
    bool LoadSettings(const std::string &installDir);

    // Writes "KPD.ini" and then "grating2.ini" into installDir. Each file is written to a temporary file
    // in the same directory, flushed to disk and renamed over the old one, so an interrupted save leaves
    // the old file intact. A file whose permission bits do not let this process write it (for root as
    // for anyone) is not replaced. A "KPD.ini" that cannot be used is kept as LoadSettings keeps it before
    // it is replaced, and is not replaced when it could not be kept (both said on standard error).
    // Returns false on any error; a failed write itself says nothing. When "KPD.ini" cannot be written,
    // "grating2.ini" and "KPDunits.ini" are not written either. "KPDunits.ini" is written once the pitch
    // is not 0 (and from then on), and kept first like "KPD.ini" when it cannot be used.
    bool SaveSettings(const std::string &installDir) const;

    // The lines SaveSettings writes into "KPD.ini", without line ends.
    std::vector<std::string> SettingsLines() const;

    // Recomputes resolutionMultiplier and digits from encodertype, unittype, gratingPitch, the
    // interpolation setting s and generation; interpolationMultiplier becomes 1.0.
    void ComputePositionScale(int s);

private:
    bool LoadSettingsFile(const std::string &installDir);
    void LoadGratingPitch(const std::string &installDir);
};
