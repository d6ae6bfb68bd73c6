#include "ClickSound.h"

#include <cmath>
#include <vector>

#include "Noise.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSamples = 4392;
constexpr double kPi = 3.14159265358979;
constexpr double kOnset = 0.0015;   // seconds of silence before the flap lands
constexpr double kBounce = 0.0105;  // the flap's small second landing
constexpr double kFadeOut = 0.012;  // seconds of taper at the end
constexpr double kPeak = 0.62;      // of full scale: loud enough, far from clipping

struct Mode {
    double hertz;
    double level;
    double decay;  // seconds to fall to 1/e
};

// The ringing of a plastic flap and its card: a low body knock and a few
// bright, quickly damped partials.
constexpr Mode kModes[] = {
    {410.0, 0.16, 0.018},  {1170.0, 0.34, 0.011},  {2460.0, 0.30, 0.007},
    {3890.0, 0.20, 0.004}, {5650.0, 0.14, 0.0025},
};

// One landing at time `at` with strength `level`: a short noise burst
// (the hit itself) and the resonances it starts.
void AddImpact(std::vector<double>& out, double at, double level, std::uint32_t seed) {
    NoiseSequence noise(seed);
    double previous = 0.0;
    for (int i = 0; i < kSamples; ++i) {
        const double t = static_cast<double>(i) / kRate - at;
        if (t < 0.0) continue;
        // Differenced noise leans toward high frequencies: a crisp tick.
        const double n = noise.Next();
        double v = 0.55 * (n - previous) * std::exp(-t / 0.0005);
        previous = n;
        for (const Mode& m : kModes)
            v += m.level * std::exp(-t / m.decay) * std::sin(2 * kPi * m.hertz * t);
        out[i] += level * v;
    }
}

// Removes the mean with a smooth bump under the hit, so the file has no DC
// and both ends still rest at zero.
void RemoveMean(std::vector<double>& s) {
    double sum = 0.0;
    for (double v : s) sum += v;
    const int from = static_cast<int>(kOnset * kRate);
    const int length = static_cast<int>(0.02 * kRate);
    std::vector<double> bump(length);
    double bumpSum = 0.0;
    for (int i = 0; i < length; ++i) {
        bump[i] = std::sin(kPi * (i + 0.5) / length);
        bumpSum += bump[i];
    }
    for (int i = 0; i < length; ++i) s[from + i] -= sum * bump[i] / bumpSum;
}

}  // namespace

Bytes MakeClickSound() {
    std::vector<double> s(kSamples, 0.0);
    AddImpact(s, kOnset, 1.0, 0xC11C);
    AddImpact(s, kBounce, 0.3, 0xB0B);
    const int fade = static_cast<int>(kFadeOut * kRate);
    for (int i = 0; i < fade; ++i) {
        s[kSamples - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * i / fade);
    }
    RemoveMean(s);
    double peak = 0.0;
    for (double v : s) peak = std::fmax(peak, std::fabs(v));

    const std::uint32_t dataBytes = kSamples * 2;
    Bytes out;
    PutTag(out, "RIFF");
    PutU32(out, 4 + 8 + 16 + 8 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, 1);  // mono
    PutU32(out, kRate);
    PutU32(out, kRate * 2);  // bytes per second
    PutU16(out, 2);          // block alignment
    PutU16(out, 16);         // bits per sample
    PutTag(out, "data");
    PutU32(out, dataBytes);
    for (double v : s) {
        const long q = std::lround(v / peak * kPeak * 32767.0);
        PutU16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(q)));
    }
    return out;
}
