// Fuzzes the settings loader: "KPD.ini" and the grating file "grating2.ini" it reads when the settings
// list gratings.
//
// Input: the text of "KPD.ini", optionally followed by the line "@@grating2.ini@@" and the text of
// "grating2.ini" (without that line there is no grating file). Both files are written into a scratch
// directory and loaded with Settings::LoadSettings. Checked on every input:
//  - a rejected file leaves the defaults in every stored field, stays as it was, and is kept beside
//    itself as "KPD.ini.malformed" with the same contents;
//  - accepted settings written back as the save writes them ("KPD.ini" from SettingsLines, the
//    descriptions as "grating2.ini") load again, to the same lines and descriptions.
#include "FuzzTempDir.h"

#include "data/Settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

constexpr std::string_view kSeparator = "\n@@grating2.ini@@\n";

void require(bool condition) {
    if (!condition) std::abort();
}

std::string Joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::string &dir = fuzz::ScratchDir();
    const std::string ini = dir + "/" + Settings::SettingsFileName;
    const std::string grating = dir + "/" + Settings::GratingFileName;
    const std::string kept = ini + ".malformed";

    const size_t split = input.find(kSeparator);
    const std::string_view iniText = split == std::string_view::npos ? input : input.substr(0, split + 1);
    fuzz::WriteWhole(ini, iniText);
    if (split == std::string_view::npos)
        ::unlink(grating.c_str());
    else
        fuzz::WriteWhole(grating, input.substr(split + kSeparator.size()));

    Settings loaded;
    if (!loaded.LoadSettings(dir)) {
        Settings defaults;
        defaults.SetDefaults();
        require(loaded.SettingsLines() == defaults.SettingsLines());
        require(loaded.gratingDescriptions == defaults.gratingDescriptions);
        require(fuzz::ReadWhole(ini) == iniText);  // the user's file is left as it was
        require(fuzz::ReadWhole(kept) == iniText); // ... and kept beside it
        ::unlink(kept.c_str());
        return 0;
    }
    require(::access(kept.c_str(), F_OK) != 0); // a file that loads is not kept

    // What a save writes loads back to the same settings.
    const std::vector<std::string> lines = loaded.SettingsLines();
    fuzz::WriteWhole(ini, Joined(lines));
    fuzz::WriteWhole(grating, Joined(loaded.gratingDescriptions));
    Settings again;
    require(again.LoadSettings(dir));
    require(again.SettingsLines() == lines);
    require(again.gratingDescriptions == loaded.gratingDescriptions);
    return 0;
}
