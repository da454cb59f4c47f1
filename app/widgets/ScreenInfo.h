#pragma once
// Seam over the screen: its size in pixels and its pixels per inch, from which the main window chooses
// its layout size class. By default the primary QScreen is read (logical dots per inch, like the
// Windows "pixels per inch"); tests set fixed values with SetScreenOverride / ScopedScreenOverride.

#include <optional>

namespace platform {

struct ScreenMetrics {
    int width = 1024;
    int height = 768;
    int pixelsPerInch = 96;
    bool operator==(const ScreenMetrics &) const = default;
};

// The override if set, else the primary screen, else (no screen) 1024 x 768 at 96 pixels per inch.
ScreenMetrics CurrentScreen();

// Sets (or, with std::nullopt, clears) the fixed metrics returned by CurrentScreen().
void SetScreenOverride(std::optional<ScreenMetrics> metrics);

class ScopedScreenOverride {
public:
    explicit ScopedScreenOverride(ScreenMetrics metrics);
    ~ScopedScreenOverride();
    ScopedScreenOverride(const ScopedScreenOverride &) = delete;
    ScopedScreenOverride &operator=(const ScopedScreenOverride &) = delete;

private:
    std::optional<ScreenMetrics> previous_;
};

} // namespace platform
