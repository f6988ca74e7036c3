#include "Pictures.h"
#include "Style.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artwork {

namespace {

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 0x8DA6B343U ^ y * 0xD8163841U ^ seed * 0xCB1AB31FU;
    h ^= h >> 13;
    h *= 0x5BD1E995U;
    h ^= h >> 15;
    return h;
}

double lattice(int x, int y, int period, std::uint32_t seed) {
    const auto wrap = [period](int v) {
        return static_cast<std::uint32_t>(((v % period) + period) % period);
    };
    return (hash(wrap(x), wrap(y), seed) & 0xFFFF) / 65535.0;
}

// Value noise on a lattice that repeats every `period` cells, so the texture tiles.
double periodicNoise(double u, double v, int period, std::uint32_t seed) {
    const double x = u * period;
    const double y = v * period;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0;
    const double fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx);
    const double sy = fy * fy * (3 - 2 * fy);
    const double a = lattice(x0, y0, period, seed);
    const double b = lattice(x0 + 1, y0, period, seed);
    const double c = lattice(x0, y0 + 1, period, seed);
    const double d = lattice(x0 + 1, y0 + 1, period, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double fractalNoise(double u, double v, int octaves) {
    double sum = 0;
    double amplitude = 0.5;
    double total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += periodicNoise(u, v, 4 << i, 17 + i) * amplitude;
        total += amplitude;
        amplitude *= 0.55;
    }
    return sum / total;
}

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb rgb(const QColor& c) {
    return {c.redF(), c.greenF(), c.blueF()};
}

} // namespace

QImage tunnelTexture(int size) {
    // More panels, noise octaves and details as the quality rises.
    const int panels = size >= 1024 ? 8 : size >= 256 ? 4 : 2;
    const int octaves = size >= 1024 ? 6 : size >= 256 ? 4 : 1;
    const bool details = size >= 256;

    const Rgb metalDark = rgb(palette::night);
    const Rgb metalLight = rgb(palette::slate);
    const Rgb seamGlow = rgb(palette::cyan);
    const Rgb warning = rgb(palette::amber);

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size;
            const double v = (y + 0.5) / size;
            const int px = static_cast<int>(u * panels);
            const int py = static_cast<int>(v * panels);
            const double pu = u * panels - px;
            const double pv = v * panels - py;
            const std::uint32_t panelKind =
                hash(static_cast<std::uint32_t>(px), static_cast<std::uint32_t>(py), 5) % 7;

            const double grain = fractalNoise(u, v, octaves);
            Rgb colour = mix(metalDark, metalLight, 0.25 + 0.6 * grain);

            // Panels with brushed stripes, and now and then a warning band.
            if (details && panelKind == 3) {
                const double stripe = std::fmod((pu + pv) * 6, 1.0);
                if (pv > 0.4 && pv < 0.6)
                    colour = mix(colour, stripe < 0.5 ? warning : metalDark, 0.8);
            }
            if (details && panelKind == 5)
                colour = mix(colour, metalLight, 0.15 * (std::sin(pv * 80) * 0.5 + 0.5));

            // Bevels: lit upper-left edges, shaded lower-right edges.
            const double bevel = 0.06;
            if (pu < bevel || pv < bevel)
                colour = mix(colour, {1, 1, 1}, 0.12);
            if (pu > 1 - bevel || pv > 1 - bevel)
                colour = mix(colour, {0, 0, 0}, 0.35);

            // Glowing seams between the panels.
            const double edge = std::min(std::min(pu, 1 - pu), std::min(pv, 1 - pv));
            const double glow = std::exp(-edge * (details ? 60.0 : 25.0));
            colour = mix(colour, seamGlow, glow * 0.85);

            if (details) {
                // Rivets near the corners of every panel.
                for (const double cu : {0.14, 0.86}) {
                    for (const double cv : {0.14, 0.86}) {
                        const double d = std::hypot(pu - cu, pv - cv);
                        if (d < 0.035)
                            colour = mix(colour, {0.85, 0.9, 0.95}, 0.8 - d * 10);
                        else if (d < 0.05)
                            colour = mix(colour, {0, 0, 0}, 0.4);
                    }
                }
            }
            line[x] = qRgb(static_cast<int>(colour.r * 255), static_cast<int>(colour.g * 255),
                           static_cast<int>(colour.b * 255));
        }
    }
    return image;
}

} // namespace artwork
