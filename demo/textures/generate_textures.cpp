// Makes the demo's four textures: floor tiles, rough rock, a wall of stone
// blocks and veined marble, each an uncompressed 24-bit BMP of 256 by 256.
// Everything is procedural and deterministic (fixed seeds, integer hashing,
// no library random source), so every build writes the same bytes. Every
// pattern is periodic over the picture, so the textures tile without seams.
//
// Usage: quorvel-textures <output directory>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Size = 256;
constexpr double Pi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb operator*(Rgb a, double k) {
    return {a.r * k, a.g * k, a.b * k};
}
Rgb Mix(Rgb a, Rgb b, double t) {
    return a * (1 - t) + b * t;
}

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}
double SmoothStep(double e0, double e1, double v) {
    double t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
int Wrap(int v, int period) {
    return ((v % period) + period) % period;
}

// A well-mixed 32-bit integer hash; the seed separates independent layers.
uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}
double Unit(uint32_t h) {
    return double(h) / 4294967296.0;
}

// Value noise on a lattice of `cells` by `cells` that wraps around the
// picture, so the noise at x = 0 continues the noise at x = Size.
double PeriodicNoise(double x, double y, int cells, uint32_t seed) {
    double fx = x / Size * cells, fy = y / Size * cells;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    auto at = [&](int cx, int cy) {
        return Unit(Hash(uint32_t(Wrap(cx, cells)), uint32_t(Wrap(cy, cells)), seed));
    };
    double a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

// Fractal sum of periodic noise, in 0..1.
double Fbm(double x, double y, int cells, int octaves, uint32_t seed, double gain = 0.5) {
    double sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += PeriodicNoise(x, y, cells << o, seed + uint32_t(o) * 101u) * amplitude;
        total += amplitude;
        amplitude *= gain;
    }
    return sum / total;
}

// Distances to the nearest and second-nearest feature point of a periodic
// cellular pattern, in units of one cell.
struct Cellular {
    double f1, f2;
};
Cellular PeriodicCells(double x, double y, int cells, uint32_t seed) {
    double fx = x / Size * cells, fy = y / Size * cells;
    int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    Cellular c{9, 9};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = ix + dx, cy = iy + dy;
            uint32_t wx = uint32_t(Wrap(cx, cells)), wy = uint32_t(Wrap(cy, cells));
            double px = cx + Unit(Hash(wx, wy, seed)), py = cy + Unit(Hash(wx, wy, seed + 7));
            double d = std::hypot(px - fx, py - fy);
            if (d < c.f1) {
                c.f2 = c.f1;
                c.f1 = d;
            } else if (d < c.f2) {
                c.f2 = d;
            }
        }
    return c;
}

struct Picture {
    std::vector<Rgb> pixels = std::vector<Rgb>(Size * Size);
    Rgb& at(int x, int y) { return pixels[size_t(y) * Size + size_t(x)]; }
};

// Shades a height field with a light from the upper left; the height
// differences wrap, so the shading is as seamless as the heights.
double Relief(const std::vector<double>& height, int x, int y, double strength) {
    auto h = [&](int px, int py) {
        return height[size_t(Wrap(py, Size)) * Size + size_t(Wrap(px, Size))];
    };
    double dx = (h(x + 1, y) - h(x - 1, y)) * strength;
    double dy = (h(x, y + 1) - h(x, y - 1)) * strength;
    double nx = -dx, ny = -dy, nz = 1;
    double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double lx = -0.5, ly = -0.5, lz = 0.7071;
    return (nx * lx + ny * ly + nz * lz) / len;
}

// A picture of base colours lit by its height field's relief.
Picture Shaded(const std::vector<Rgb>& base, const std::vector<double>& height, double strength) {
    Picture p;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            double light = Relief(height, x, y, strength);
            p.at(x, y) = base[size_t(y) * Size + size_t(x)] * (0.45 + 0.75 * light);
        }
    return p;
}

// Floor tiles: four by four square tiles of warm stone in grey grout,
// each tile with its own tone, mottled, with softened edges.
Picture FloorTiles() {
    constexpr int Tile = 64;
    std::vector<double> height(Size * Size);
    std::vector<Rgb> base(Size * Size);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            int tx = x / Tile, ty = y / Tile;
            double lx = x % Tile + 0.5, ly = y % Tile + 0.5;
            // Distance to the tile's edge, roughened so the edges look worn.
            double edge = std::min(std::min(lx, Tile - lx), std::min(ly, Tile - ly));
            edge += (PeriodicNoise(x, y, 64, 11) - 0.5) * 1.6;
            double tone = Unit(Hash(uint32_t(tx), uint32_t(ty), 21));
            double warm = Unit(Hash(uint32_t(tx), uint32_t(ty), 22));
            Rgb tile = Mix(Rgb{0.74, 0.58, 0.42}, Rgb{0.62, 0.44, 0.32}, tone);
            tile = Mix(tile, Rgb{0.70, 0.64, 0.52}, warm * 0.45);
            double mottle = Fbm(x, y, 8, 5, 31);
            double speck = PeriodicNoise(x, y, 128, 41);
            tile = tile * (0.82 + 0.36 * mottle);
            if (speck > 0.82) tile = tile * 0.86;
            Rgb grout = Rgb{0.36, 0.35, 0.33} * (0.85 + 0.3 * Fbm(x, y, 32, 3, 51));
            double inside = SmoothStep(2.0, 4.0, edge);
            base[size_t(y) * Size + size_t(x)] = Mix(grout, tile, inside);
            height[size_t(y) * Size + size_t(x)] =
                inside * (1.0 - 0.6 * std::exp(-(edge - 2) / 3.0)) + mottle * 0.15;
        }
    return Shaded(base, height, 3.0);
}

// Rough rock: ridged fractal noise with cracks between cellular plates,
// shaded as relief, in grey-browns.
Picture Rock() {
    Picture p;
    std::vector<double> height(Size * Size);
    std::vector<double> crack(Size * Size);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            double n = Fbm(x, y, 4, 6, 101, 0.55);
            double ridge = 1 - std::fabs(2 * Fbm(x, y, 8, 4, 111) - 1);
            Cellular c =
                PeriodicCells(x + 24 * Fbm(x, y, 8, 3, 121), y + 24 * Fbm(x, y, 8, 3, 122), 4, 131);
            double seam = 0.35 + 0.65 * SmoothStep(0.0, 0.05, c.f2 - c.f1);
            size_t i = size_t(y) * Size + size_t(x);
            crack[i] = seam;
            height[i] = n * 0.8 + ridge * 0.45 + seam * 0.2 + Fbm(x, y, 32, 3, 151) * 0.12;
        }
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            size_t i = size_t(y) * Size + size_t(x);
            double light = Relief(height, x, y, 12.0);
            double tone = Fbm(x, y, 4, 3, 141);
            Rgb dark{0.30, 0.27, 0.24}, bright{0.62, 0.57, 0.50}, rust{0.55, 0.42, 0.30};
            Rgb c = Mix(dark, bright, Clamp01(height[i] * 0.9));
            c = Mix(c, rust, SmoothStep(0.55, 0.8, tone) * 0.5);
            c = c * (0.35 + 0.8 * light) * (0.7 + 0.3 * crack[i]);
            p.at(x, y) = c;
        }
    return p;
}

// A wall of stone blocks: four courses, each of blocks of varied lengths
// laid with broken joints, light mortar, bevelled and chipped edges.
Picture StoneBlocks() {
    constexpr int Courses = 4, Course = Size / Courses;
    constexpr double Mortar = 2.5;
    // Joint positions of each course; the course wraps around at x = Size.
    std::array<std::vector<int>, Courses> joints;
    for (int c = 0; c < Courses; ++c) {
        int start = int(Hash(uint32_t(c), 0, 201) % 96u), x = start;
        while (true) {
            joints[c].push_back(x);
            int length = 80 + int(Hash(uint32_t(c), uint32_t(x), 202) % 56u);
            if (x + length > start + Size - 64) break;
            x += length;
        }
    }
    std::vector<double> height(Size * Size);
    std::vector<Rgb> base(Size * Size);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            int c = y / Course;
            double ly = y % Course + 0.5;
            // Find the block holding x: the last joint at or left of it, the
            // course's pattern seen as repeating every Size pixels.
            const std::vector<int>& j = joints[c];
            int block = int(j.size()) - 1;
            double left = j.back() - Size, right = j.front();
            for (size_t k = 0; k < j.size(); ++k) {
                double jl = j[k], jr = k + 1 < j.size() ? j[k + 1] : j.front() + Size;
                for (int shift : {0, -Size}) {
                    if (x + 0.5 >= jl + shift && x + 0.5 < jr + shift) {
                        block = int(k);
                        left = jl + shift;
                        right = jr + shift;
                    }
                }
            }
            double lx = x + 0.5 - left, width = right - left;
            double edge = std::min(std::min(lx, width - lx), std::min(ly, Course - ly));
            edge += (Fbm(x, y, 32, 3, 211) - 0.5) * 4.0;
            double tone = Unit(Hash(uint32_t(c), uint32_t(block), 221));
            Rgb stone = Mix(Rgb{0.60, 0.57, 0.52}, Rgb{0.48, 0.44, 0.40}, tone);
            stone = Mix(stone, Rgb{0.58, 0.50, 0.40},
                        Unit(Hash(uint32_t(c), uint32_t(block), 222)) * 0.4);
            double grain = Fbm(x, y, 16, 5, 231);
            stone = stone * (0.78 + 0.4 * grain);
            Rgb mortar = Rgb{0.70, 0.68, 0.62} * (0.85 + 0.25 * Fbm(x, y, 64, 2, 241));
            double inside = SmoothStep(Mortar, Mortar + 1.5, edge);
            size_t i = size_t(y) * Size + size_t(x);
            base[i] = Mix(mortar, stone, inside);
            height[i] = inside * std::min(1.0, (edge - Mortar) / 7.0 + 0.3) +
                        (grain * 0.3 + Fbm(x, y, 64, 2, 251) * 0.1) * inside;
        }
    return Shaded(base, height, 2.5);
}

// Veined marble: a warm white ground crossed by turbulent grey-green veins
// and finer secondary veins. The vein waves have whole periods across the
// picture so that they meet themselves at the edges.
Picture Marble() {
    Picture p;
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            double turbulence = Fbm(x, y, 4, 6, 301);
            double phase = 2 * Pi * (double(x) + 2.0 * y) / Size;
            double v = std::sin(phase + turbulence * 5.0);
            double main = std::pow(1 - std::fabs(v), 6.0);
            double fine = std::pow(1 - std::fabs(std::sin(2 * Pi * (3.0 * x - 1.0 * y) / Size +
                                                          Fbm(x, y, 4, 5, 311) * 6.0)),
                                   16.0);
            double cloud = Fbm(x, y, 4, 4, 321);
            Rgb ground = Mix(Rgb{0.93, 0.91, 0.86}, Rgb{0.84, 0.82, 0.78}, cloud);
            Rgb vein{0.38, 0.42, 0.40}, thin{0.62, 0.62, 0.60};
            Rgb c = Mix(ground, thin, fine * 0.6);
            c = Mix(c, vein, main * 0.7);
            p.at(x, y) = c * (0.96 + 0.06 * PeriodicNoise(x, y, 128, 331));
        }
    return p;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Writes an uncompressed 24-bit BMP: bottom row first, blue-green-red.
bool WriteBmp(const std::string& path, Picture& picture) {
    constexpr uint32_t Row = Size * 3; // a multiple of 4: no fill bytes
    constexpr uint32_t Pixels = Row * Size, Offset = 14 + 40;
    std::vector<uint8_t> out;
    out.reserve(Offset + Pixels);
    Put16(out, 0x4D42);
    Put32(out, Offset + Pixels);
    Put32(out, 0);
    Put32(out, Offset);
    Put32(out, 40);
    Put32(out, Size);
    Put32(out, Size);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, Pixels);
    Put32(out, 2835); // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    auto byte = [](double v) { return uint8_t(std::lround(Clamp01(v) * 255.0)); };
    for (int y = Size - 1; y >= 0; --y)
        for (int x = 0; x < Size; ++x) {
            Rgb c = picture.at(x, y);
            out.push_back(byte(c.b));
            out.push_back(byte(c.g));
            out.push_back(byte(c.r));
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    struct Item {
        const char* name;
        Picture (*make)();
    };
    const Item items[] = {{"Floor04.bmp", FloorTiles},
                          {"rock.bmp", Rock},
                          {"stoneblocks.bmp", StoneBlocks},
                          {"marmorizato.bmp", Marble}};
    for (const Item& item : items) {
        Picture picture = item.make();
        std::string path = dir + "/" + item.name;
        if (!WriteBmp(path, picture)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
