#include "widgets/ScreenInfo.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <mutex>

namespace platform {
namespace {

std::mutex screenMutex;
std::optional<ScreenMetrics> screenOverride; // guarded by screenMutex

} // namespace

ScreenMetrics CurrentScreen() {
    {
        std::lock_guard lock(screenMutex);
        if (screenOverride) return *screenOverride;
    }
    ScreenMetrics metrics;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QSize size = screen->size();
            metrics.width = size.width();
            metrics.height = size.height();
            metrics.pixelsPerInch = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
        }
    }
    return metrics;
}

void SetScreenOverride(std::optional<ScreenMetrics> metrics) {
    std::lock_guard lock(screenMutex);
    screenOverride = metrics;
}

ScopedScreenOverride::ScopedScreenOverride(ScreenMetrics metrics) {
    std::lock_guard lock(screenMutex);
    previous_ = screenOverride;
    screenOverride = metrics;
}

ScopedScreenOverride::~ScopedScreenOverride() {
    SetScreenOverride(previous_);
}

} // namespace platform
