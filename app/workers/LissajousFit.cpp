#include "workers/LissajousFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace kpd {

namespace {

constexpr double kStepsPerHalfRange = 2048.0;
constexpr double kVoltsPerStep = 2.5 / 2048.0;
// Of the 12 sectors of 30 degrees around the centre, the records must visit this many (half a turn).
constexpr int kSectors = 12;
constexpr int kMinimumSectors = 6;
// The smaller spread across the records' main direction below this fraction of the larger: a line.
constexpr double kLineRatio = 1e-4;

LissajousFit NoFit(int records, std::string reason) {
    LissajousFit f;
    f.records = records;
    f.reason = std::move(reason);
    return f;
}

// Solves m * x = v (5 x 5) by Gaussian elimination with partial pivoting; false when m is singular for the
// data's scale.
bool Solve(std::array<std::array<double, 5>, 5> m, std::array<double, 5> v, std::array<double, 5> &x) {
    double largest = 0.0;
    for (int i = 0; i < 5; ++i)
        largest = std::max(largest, std::fabs(m[i][i]));
    if (!(largest > 0.0)) return false;
    for (int c = 0; c < 5; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 5; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c])) pivot = r;
        if (!(std::fabs(m[pivot][c]) > largest * 1e-12)) return false;
        std::swap(m[c], m[pivot]);
        std::swap(v[c], v[pivot]);
        for (int r = c + 1; r < 5; ++r) {
            const double k = m[r][c] / m[c][c];
            for (int j = c; j < 5; ++j)
                m[r][j] -= k * m[c][j];
            v[r] -= k * v[c];
        }
    }
    for (int c = 4; c >= 0; --c) {
        double s = v[c];
        for (int j = c + 1; j < 5; ++j)
            s -= m[c][j] * x[j];
        x[c] = s / m[c][c];
    }
    return true;
}

} // namespace

int AdcSteps(uint16_t word) {
    return static_cast<int>((word & 0x0FFFu) ^ 0x0800u) - 2048;
}

LissajousFit FitLissajous(std::span<const int> xs, std::span<const int> ys) {
    const std::size_t n = std::min(xs.size(), ys.size());
    const int records = static_cast<int>(n);
    if (records < fit::MinimumRecords)
        return NoFit(records, "too few records (" + std::to_string(records) + " of at least " +
                                  std::to_string(fit::MinimumRecords) + ")");

    // Centred on the records' mean and scaled to unit spread, so the equations are well conditioned.
    double mx = 0.0, my = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        mx += xs[i];
        my += ys[i];
    }
    mx /= double(n);
    my /= double(n);
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = xs[i] - mx, dy = ys[i] - my;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
    }
    sxx /= double(n);
    syy /= double(n);
    sxy /= double(n);
    const double spread = std::sqrt(sxx + syy);
    if (!(spread >= fit::MinimumSpreadSteps)) return NoFit(records, "all records in one place");
    // Eigenvalues of the covariance: a line has no spread across its direction.
    const double mean = 0.5 * (sxx + syy);
    const double half = std::sqrt(0.25 * (sxx - syy) * (sxx - syy) + sxy * sxy);
    if (mean - half <= kLineRatio * (mean + half)) return NoFit(records, "the records lie on a line");

    // a u^2 + b uv + c v^2 + d u + e v = 1 in least squares, u and v the scaled coordinates.
    std::array<std::array<double, 5>, 5> m{};
    std::array<double, 5> rhs{};
    for (std::size_t i = 0; i < n; ++i) {
        const double u = (xs[i] - mx) / spread, v = (ys[i] - my) / spread;
        const std::array<double, 5> row{u * u, u * v, v * v, u, v};
        for (int j = 0; j < 5; ++j) {
            rhs[j] += row[j];
            for (int k = 0; k < 5; ++k)
                m[j][k] += row[j] * row[k];
        }
    }
    std::array<double, 5> q{};
    if (!Solve(m, rhs, q)) return NoFit(records, "the records do not determine an ellipse");
    double a = q[0], b = q[1], c = q[2], d = q[3], e = q[4], f = -1.0;
    const double det = 4.0 * a * c - b * b;
    if (!(det > 0.0)) return NoFit(records, "the records do not lie on an ellipse");
    if (a < 0.0) {
        a = -a, b = -b, c = -c, d = -d, e = -e, f = -f;
    }
    // The centre, where the conic's gradient vanishes, and the conic's value there.
    const double cu = (b * e - 2.0 * c * d) / det;
    const double cv = (b * d - 2.0 * a * e) / det;
    const double level = -(a * cu * cu + b * cu * cv + c * cv * cv + d * cu + e * cv + f);
    if (!(level > 0.0)) return NoFit(records, "the records do not lie on an ellipse");

    // a X'^2 + b X'Y' + c Y'^2 = level, divided by a: X'^2 - (2 sin p / r) X'Y' + Y'^2 / r^2 = A^2 cos^2 p.
    const double r = std::sqrt(a / c);
    const double sinP = std::clamp(-b / (2.0 * std::sqrt(a * c)), -1.0, 1.0);
    // The ellipse's longest and shortest radius: the quadratic form's eigenvalues.
    const double qm = 0.5 * (a + c), qh = std::sqrt(0.25 * (a - c) * (a - c) + 0.25 * b * b);
    const double longest = std::sqrt(level / (qm - qh)) * spread;
    const double shortest = std::sqrt(level / (qm + qh)) * spread;

    LissajousFit fitted;
    fitted.records = records;
    const double cx = mx + cu * spread, cy = my + cv * spread;
    fitted.offsetXPct = cx / kStepsPerHalfRange * 100.0;
    fitted.offsetYPct = cy / kStepsPerHalfRange * 100.0;
    fitted.amplitudeRatio = r;
    fitted.phaseErrorDeg = std::asin(sinP) * 180.0 / std::numbers::pi;

    // The mean radius and the turn the records cover, around the fitted centre.
    std::array<bool, kSectors> visited{};
    double radius = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = xs[i] - cx, dy = ys[i] - cy;
        radius += std::hypot(dx, dy);
        const double turn = (std::atan2(dy, dx) + std::numbers::pi) / (2.0 * std::numbers::pi);
        visited[std::min<std::size_t>(kSectors - 1, static_cast<std::size_t>(turn * kSectors))] = true;
    }
    radius /= double(n);
    if (std::count(visited.begin(), visited.end(), true) < kMinimumSectors)
        return NoFit(records, "the records cover less than half a turn");
    fitted.radiusV = radius * kVoltsPerStep;
    fitted.ripplePct = radius > 0.0 ? (longest - shortest) / radius * 100.0 : 0.0;

    for (const double v : {fitted.offsetXPct, fitted.offsetYPct, fitted.amplitudeRatio, fitted.phaseErrorDeg,
                           fitted.radiusV, fitted.ripplePct})
        if (!std::isfinite(v)) return NoFit(records, "the records do not determine an ellipse");
    fitted.ok = true;
    return fitted;
}

LissajousFit FitLissajousRing(std::span<const uint16_t> x, std::span<const uint16_t> y, int32_t newest,
                              int32_t count) {
    const auto size = static_cast<int32_t>(std::min(x.size(), y.size()));
    count = std::clamp(count, 0, size);
    std::vector<int> xs, ys;
    xs.reserve(static_cast<std::size_t>(count));
    ys.reserve(static_cast<std::size_t>(count));
    if (newest >= 0 && newest < size) {
        for (int32_t k = count - 1; k >= 0; --k) {
            const auto i = static_cast<std::size_t>(((newest - k) % size + size) % size);
            xs.push_back(AdcSteps(x[i]));
            ys.push_back(AdcSteps(y[i]));
        }
    }
    return FitLissajous(xs, ys);
}

} // namespace kpd
