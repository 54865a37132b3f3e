// Writes the bell sound "ding" (0.4 s, 44.1 kHz, 16-bit mono PCM WAVE) to
// argv[1]: a sum of bell-like partials, the higher ones dying away faster,
// with a short rise and fall so that neither end clicks.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int sample_rate = 44100;
constexpr double duration_s = 0.4;
constexpr double fundamental_hz = 880.0;

struct Partial {
    double ratio;  // frequency / fundamental (inharmonic, as in a bell)
    double amplitude;
    double decay_per_s;
};
constexpr Partial partials[] = {
    {1.0, 1.0, 7.0}, {2.0, 0.55, 10.0}, {2.76, 0.35, 14.0}, {5.40, 0.18, 22.0}, {8.93, 0.08, 30.0},
};

std::vector<std::int16_t> bell_samples() {
    const int count = static_cast<int>(duration_s * sample_rate);
    std::vector<double> wave(static_cast<std::size_t>(count));
    double peak = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sample_rate;
        double value = 0;
        for (const Partial& p : partials)
            value += p.amplitude * std::exp(-p.decay_per_s * t) *
                     std::sin(2 * std::numbers::pi * fundamental_hz * p.ratio * t);
        const double rise = std::min(1.0, t / 0.002);
        const double fall = std::min(1.0, (duration_s - t) / 0.02);
        value *= rise * fall;
        wave[static_cast<std::size_t>(i)] = value;
        peak = std::max(peak, std::abs(value));
    }
    std::vector<std::int16_t> samples;
    samples.reserve(wave.size());
    const double gain = peak > 0 ? 0.8 * 32767 / peak : 0;
    for (double value : wave) samples.push_back(static_cast<std::int16_t>(std::lround(value * gain)));
    return samples;
}

// WAVE fields are little-endian whatever the machine.
void put(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s sound.wav\n", argv[0]);
        return 2;
    }
    const std::vector<std::int16_t> samples = bell_samples();
    const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::ofstream out(argv[1], std::ios::binary);
    out.write("RIFF", 4);
    put(out, 36 + data_bytes, 4);
    out.write("WAVEfmt ", 8);
    put(out, 16, 4);  // size of the format block
    put(out, 1, 2);   // PCM
    put(out, 1, 2);   // mono
    put(out, sample_rate, 4);
    put(out, sample_rate * 2, 4);  // bytes per second
    put(out, 2, 2);                // bytes per frame
    put(out, 16, 2);               // bits per sample
    out.write("data", 4);
    put(out, data_bytes, 4);
    for (std::int16_t s : samples) put(out, static_cast<std::uint16_t>(s), 2);
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
