#include "DataTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kpd-data-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadText(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteText(const std::filesystem::path &file, const std::string &text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

void FillWithPattern(DataSets &sets, uint32_t seed) {
    std::mt19937 rng(seed);
    auto i32 = [&rng] { return static_cast<int32_t>(rng()); };
    // Intervals below 1 s on a 1e-5 s grid round-trip through the five-decimal, five-digit column.
    auto interval = [&rng] { return static_cast<float>(rng() % 100000) / 100000.0f; };
    auto &s = sets.SetupStatus();
    for (std::size_t i = 0; i < s.Capacity; ++i) {
        s.position[i] = i32();
        s.xAD[i] = i32();
        s.yAD[i] = i32();
        s.status[i] = rng();
        s.magnitude[i] = i32();
        s.interval[i] = static_cast<float>(rng() % 20000) / 10000.0f; // four decimals, five digits
    }
    auto &e = sets.EncoderSignal();
    for (std::size_t i = 0; i < e.Capacity; ++i) {
        e.w1[i] = static_cast<uint16_t>(rng());
        e.w2[i] = static_cast<uint16_t>(rng());
        e.w3[i] = static_cast<uint16_t>(rng());
        e.w4[i] = static_cast<uint16_t>(rng());
        e.interval[i] = interval();
    }
    auto &g = sets.SignalStrength();
    for (std::size_t i = 0; i < g.Capacity; ++i) {
        g.a[i] = i32();
        g.b[i] = i32();
        g.c[i] = i32();
        g.interval[i] = interval();
    }
    auto &p = sets.PositionVelocity();
    for (std::size_t i = 0; i < p.Capacity; ++i) {
        p.position[i] = i32();
        p.velocity[i] = static_cast<float>(i32() % 1000000) / 256.0f; // exact in eight decimals
        p.position64[i] = i32();
        p.magnitude[i] = i32();
        p.interval[i] = interval();
    }
    for (int set = 0; set < DataSetCountAll; ++set) {
        auto &c = sets.Control(set);
        c.count.store(static_cast<int32_t>(rng() % static_cast<uint32_t>(DataSets::Capacity(set))));
        c.wrapped.store(set % 2 == 1);
        c.elapsed.store(123.5f + static_cast<float>(set));
        c.reviewCount.store(7 + set);
        c.reviewIndex.store(3 + set);
        c.reviewElapsed.store(1.25f);
        c.reviewTarget.store(11);
        c.resetOnNextLiveStart.store(false);
    }
}
