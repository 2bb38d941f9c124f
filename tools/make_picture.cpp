// Draws the program's picture of the instrument, a stylised AN1x (a dark panel with eight
// knobs, a display, the two wheels, the ribbon and a keyboard), and writes it as the 157 x 99,
// 24-bit uncompressed BMP that the main window shows scaled to 140 x 75.
//
//   make_picture "resources/AN1X small.bmp"
//
// The picture is painted at four times its size and averaged down, which smooths the edges.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 157;
constexpr int kHeight = 99;
constexpr int kScale = 4; // subsamples per pixel along each axis

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The painting surface, in picture pixels; shapes are tested at every subsample's centre.
class Canvas {
  public:
    Canvas() : px_(static_cast<std::size_t>(kWidth * kScale * kHeight * kScale), Rgb{0, 0, 0}) {}

    // Paints every subsample for which inside(x, y) holds with colour(x, y).
    template <class Inside, class Colour>
    void Paint(double x0, double y0, double x1, double y1, Inside inside, Colour colour) {
        int sx0 = std::max(0, static_cast<int>(std::floor(x0 * kScale)));
        int sy0 = std::max(0, static_cast<int>(std::floor(y0 * kScale)));
        int sx1 = std::min(kWidth * kScale, static_cast<int>(std::ceil(x1 * kScale)));
        int sy1 = std::min(kHeight * kScale, static_cast<int>(std::ceil(y1 * kScale)));
        for (int sy = sy0; sy < sy1; ++sy) {
            for (int sx = sx0; sx < sx1; ++sx) {
                double x = (sx + 0.5) / kScale;
                double y = (sy + 0.5) / kScale;
                if (inside(x, y)) At(sx, sy) = colour(x, y);
            }
        }
    }

    void Rect(double x0, double y0, double x1, double y1, Rgb c) {
        Paint(
            x0, y0, x1, y1,
            [&](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; },
            [&](double, double) { return c; });
    }

    // A rectangle whose colour runs from top to bottom.
    void VerticalGradient(double x0, double y0, double x1, double y1, Rgb top, Rgb bottom) {
        Paint(
            x0, y0, x1, y1,
            [&](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; },
            [&](double, double y) { return Mix(top, bottom, (y - y0) / (y1 - y0)); });
    }

    void RoundRect(double x0, double y0, double x1, double y1, double radius, Rgb top, Rgb bottom) {
        auto inside = [=](double x, double y) {
            if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
            double cx = std::clamp(x, x0 + radius, x1 - radius);
            double cy = std::clamp(y, y0 + radius, y1 - radius);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
        };
        Paint(x0, y0, x1, y1, inside,
              [&](double, double y) { return Mix(top, bottom, (y - y0) / (y1 - y0)); });
    }

    // A disc lit from the upper left.
    void Disc(double cx, double cy, double radius, Rgb light, Rgb dark) {
        Paint(
            cx - radius, cy - radius, cx + radius, cy + radius,
            [=](double x, double y) {
                return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
            },
            [=](double x, double y) {
                double t = ((x - cx) + (y - cy)) / (2.0 * radius) + 0.5;
                return Mix(light, dark, std::clamp(t, 0.0, 1.0));
            });
    }

    // A line of the given width between two points, with round ends.
    void Line(double ax, double ay, double bx, double by, double width, Rgb c) {
        double h = width / 2;
        auto inside = [=](double x, double y) {
            double dx = bx - ax, dy = by - ay;
            double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            double ex = x - (ax + t * dx), ey = y - (ay + t * dy);
            return ex * ex + ey * ey <= h * h;
        };
        Paint(std::min(ax, bx) - h, std::min(ay, by) - h, std::max(ax, bx) + h,
              std::max(ay, by) + h, inside, [&](double, double) { return c; });
    }

    // Text in a 5 x 7 dot font, each dot `dot` pixels wide; only the glyphs the picture needs.
    void Text(double x, double y, double dot, const std::string& text, Rgb c) {
        for (char ch : text) {
            const auto* glyph = Glyph(ch);
            if (glyph != nullptr) {
                for (int row = 0; row < 7; ++row)
                    for (int col = 0; col < 5; ++col)
                        if ((*glyph)[static_cast<std::size_t>(row)] & (0x10 >> col))
                            Rect(x + col * dot, y + row * dot, x + (col + 1) * dot,
                                 y + (row + 1) * dot, c);
            }
            x += 6 * dot;
        }
    }

    // The picture pixel (x, y): the average of its subsamples, as 8-bit blue, green, red.
    std::array<std::uint8_t, 3> PixelBgr(int x, int y) const {
        Rgb sum{0, 0, 0};
        for (int sy = 0; sy < kScale; ++sy) {
            for (int sx = 0; sx < kScale; ++sx) {
                const Rgb& s = px_[Index(x * kScale + sx, y * kScale + sy)];
                sum.r += s.r;
                sum.g += s.g;
                sum.b += s.b;
            }
        }
        auto level = [](double v) {
            return static_cast<std::uint8_t>(
                std::clamp(std::lround(v / (kScale * kScale)), 0L, 255L));
        };
        return {level(sum.b), level(sum.g), level(sum.r)};
    }

  private:
    static std::size_t Index(int sx, int sy) {
        return static_cast<std::size_t>(sy * kWidth * kScale + sx);
    }
    Rgb& At(int sx, int sy) { return px_[Index(sx, sy)]; }

    static const std::array<std::uint8_t, 7>* Glyph(char ch) {
        static const std::array<std::uint8_t, 7> kA = {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11};
        static const std::array<std::uint8_t, 7> kN = {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11};
        static const std::array<std::uint8_t, 7> k1 = {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E};
        static const std::array<std::uint8_t, 7> kx = {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11};
        switch (ch) {
        case 'A':
            return &kA;
        case 'N':
            return &kN;
        case '1':
            return &k1;
        case 'x':
            return &kx;
        default:
            return nullptr;
        }
    }

    std::vector<Rgb> px_;
};

constexpr Rgb kBackground{128, 128, 128}; // the main window's grey
constexpr Rgb kYellow{255, 230, 0};

void Draw(Canvas& c) {
    c.Rect(0, 0, kWidth, kHeight, kBackground);

    // Shadow, then the body: a silver case seen from above, its front edge darker.
    c.RoundRect(5, 12, 156, 96, 5, Rgb{98, 98, 98}, Rgb{88, 88, 88});
    c.RoundRect(2, 8, 154, 93, 5, Rgb{214, 216, 222}, Rgb{150, 152, 160});
    c.Rect(4, 89, 152, 93, Rgb{92, 94, 102});

    // The control panel.
    c.RoundRect(6, 12, 150, 50, 3, Rgb{46, 52, 70}, Rgb{22, 25, 36});

    // Display: a lit screen with two lines of "text".
    c.RoundRect(10, 16, 42, 30, 1.5, Rgb{12, 14, 18}, Rgb{12, 14, 18});
    c.VerticalGradient(11.5, 17.5, 40.5, 28.5, Rgb{150, 224, 190}, Rgb{96, 180, 150});
    c.Rect(14, 20, 30, 21.5, Rgb{30, 70, 60});
    c.Rect(14, 24, 37, 25.5, Rgb{30, 70, 60});

    // The name on the panel, in the program's yellow.
    c.Text(11, 35, 1.2, "AN1x", kYellow);

    // Eight assign knobs with their pointers at different settings.
    for (int i = 0; i < 8; ++i) {
        double cx = 54 + i * 12.5;
        double cy = 24;
        c.Disc(cx + 0.6, cy + 0.8, 4.8, Rgb{10, 10, 14}, Rgb{10, 10, 14});
        c.Disc(cx, cy, 4.6, Rgb{236, 238, 244}, Rgb{120, 124, 134});
        c.Disc(cx, cy, 3.0, Rgb{70, 74, 86}, Rgb{34, 36, 44});
        double angle = (-135.0 + i * 37.0) * 3.14159265358979 / 180.0;
        c.Line(cx, cy, cx + 3.4 * std::sin(angle), cy - 3.4 * std::cos(angle), 1.1, kYellow);
    }

    // A row of buttons with their lights.
    for (int i = 0; i < 10; ++i) {
        double x = 54 + i * 9.4;
        c.RoundRect(x - 3, 38, x + 3, 45, 1, Rgb{176, 180, 190}, Rgb{120, 124, 134});
        if (i % 3 != 1)
            c.Rect(x - 1.2, 34.5, x + 1.2, 36.2, i % 3 == 0 ? Rgb{255, 60, 40} : Rgb{255, 200, 0});
    }

    // Pitch and modulation wheels to the left of the keys.
    for (int i = 0; i < 2; ++i) {
        double x = 8 + i * 7;
        c.RoundRect(x, 56, x + 5, 88, 1.5, Rgb{12, 12, 16}, Rgb{12, 12, 16});
        c.VerticalGradient(x + 1, 60, x + 4, 84, Rgb{60, 62, 70}, Rgb{150, 152, 160});
        c.Rect(x + 1, i == 0 ? 71 : 64, x + 4, i == 0 ? 73 : 66, Rgb{230, 232, 238});
    }

    // The ribbon controller above the keys.
    c.RoundRect(24, 52.5, 150, 57, 1.5, Rgb{16, 18, 24}, Rgb{40, 44, 56});
    c.Rect(26, 54.2, 148, 55, Rgb{110, 140, 200});

    // Keyboard: 25 white keys, black keys in the 2 + 3 pattern.
    const double left = 24, pitch = 5, top = 58.5, bottom = 89;
    c.Rect(left - 0.5, top - 0.5, left + 25 * pitch + 0.5, bottom + 0.5, Rgb{20, 20, 24});
    for (int k = 0; k < 25; ++k) {
        double x = left + k * pitch;
        c.VerticalGradient(x + 0.5, top, x + pitch - 0.5, bottom, Rgb{252, 252, 250},
                           Rgb{214, 214, 210});
    }
    for (int k = 0; k < 24; ++k) {
        int inOctave = k % 7;
        if (inOctave == 2 || inOctave == 6) continue; // no black key after E and B
        double x = left + (k + 1) * pitch;
        c.VerticalGradient(x - 1.7, top, x + 1.7, top + 18, Rgb{58, 58, 64}, Rgb{8, 8, 10});
    }
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// BITMAPFILEHEADER + BITMAPINFOHEADER, then the rows bottom-up, each padded to 4 bytes.
std::vector<std::uint8_t> Bmp(const Canvas& c) {
    const std::uint32_t rowBytes = (kWidth * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = rowBytes * kHeight;
    const std::uint32_t headerBytes = 14 + 40;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, headerBytes + imageBytes, 4);
    PutLe(out, 0, 4);           // reserved
    PutLe(out, headerBytes, 4); // offset of the pixels
    PutLe(out, 40, 4);          // size of BITMAPINFOHEADER
    PutLe(out, kWidth, 4);
    PutLe(out, kHeight, 4); // positive: bottom-up
    PutLe(out, 1, 2);       // planes
    PutLe(out, 24, 2);      // bits per pixel
    PutLe(out, 0, 4);       // BI_RGB, no compression
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4); // 72 dots per inch
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4); // colours used
    PutLe(out, 0, 4); // important colours
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            auto bgr = c.PixelBgr(x, y);
            out.insert(out.end(), bgr.begin(), bgr.end());
        }
        for (std::uint32_t pad = kWidth * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture OUTPUT.bmp\n");
        return 2;
    }
    Canvas canvas;
    Draw(canvas);
    std::vector<std::uint8_t> bytes = Bmp(canvas);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
