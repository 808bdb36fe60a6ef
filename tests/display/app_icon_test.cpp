// The icon at every size the desktop asks for, its PNG read back, its SVG.
#include "display/app_icon.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

int channel(uint32_t p, int shift) { return int((p >> shift) & 0xff); }

// Colour distance of two opaque colours.
int distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8) d += std::abs(channel(a, shift) - channel(b, shift));
  return d;
}

// What the description shows at a point, below the shape `above` (the
// background of that shape): 0 when nothing.
const IconShape* topAt(double x, double y, size_t above) {
  const IconShape* top = nullptr;
  const auto& shapes = IconShapes();
  for (size_t i = 0; i < above && i < shapes.size(); i++) {
    const IconShape& s = shapes[i];
    if (x >= s.x0 && x < s.x1 && y >= s.y0 && y < s.y1) top = &s;  // middles: corners aside
  }
  return top;
}

TEST(AppIcon, EverySizeIsOpaqueWithTransparentCornersAndEveryShapeVisible) {
  const auto& shapes = IconShapes();
  ASSERT_GE(shapes.size(), 4u);
  for (const int n : kSizes) {
    const std::vector<uint32_t> px = IconPixels(n);
    ASSERT_EQ(px.size(), size_t(n) * size_t(n));
    double cover = 0;
    for (uint32_t p : px) cover += (p >> 24) / 255.0;
    EXPECT_GT(cover / double(px.size()), 0.7) << n << ": mostly opaque";
    EXPECT_EQ(px[0] >> 24, 0u) << n << ": a rounded corner lets the desktop through";
    EXPECT_EQ(px.back() >> 24, 0u) << n;
    // Each shape's middle pixel takes the shape's colour more than the
    // colour the shape lies on: no shape is lost at 16 pixels.
    for (size_t i = 0; i < shapes.size(); i++) {
      const IconShape& s = shapes[i];
      const double cx = (s.x0 + s.x1) / 2.0, cy = (s.y0 + s.y1) / 2.0;
      const int x = int(cx * n / kIconUnits), y = int(cy * n / kIconUnits);
      const uint32_t got = px[size_t(y) * size_t(n) + size_t(x)];
      ASSERT_EQ(got >> 24, 0xffu) << n << " shape " << i;
      const IconShape* under = topAt(cx, cy, i);
      if (!under) continue;
      EXPECT_LT(distance(got, s.rgb), distance(got, under->rgb))
          << "size " << n << ": shape " << i << " drowns in what it lies on";
    }
  }
}

// The small sizes are the large one seen from afar: averaged 16 x 16
// blocks of the 256-pixel icon match the 16-pixel icon.
TEST(AppIcon, SmallSizesAgreeWithTheLargeOneScaledDown) {
  const std::vector<uint32_t> big = IconPixels(256), small = IconPixels(16);
  int worst = 0;
  for (int y = 0; y < 16; y++) {
    for (int x = 0; x < 16; x++) {
      double sum[4] = {};
      for (int by = 0; by < 16; by++)
        for (int bx = 0; bx < 16; bx++) {
          const uint32_t p = big[size_t(y * 16 + by) * 256 + size_t(x * 16 + bx)];
          const double a = (p >> 24) / 255.0;
          sum[0] += a * 255;
          for (int c = 1; c < 4; c++) sum[c] += a * channel(p, 24 - 8 * c);  // premultiplied
        }
      const uint32_t p = small[size_t(y * 16 + x)];
      const double a = (p >> 24) / 255.0;
      const double want[4] = {sum[0] / 256, sum[1] / 256, sum[2] / 256, sum[3] / 256};
      const double got[4] = {a * 255, a * channel(p, 16), a * channel(p, 8), a * channel(p, 0)};
      for (int c = 0; c < 4; c++) worst = std::max(worst, int(std::abs(want[c] - got[c]) + 0.5));
    }
  }
  EXPECT_LE(worst, 20) << "a 16-pixel icon that is not the large one scaled";
}

uint32_t be32(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) << 24 | uint32_t(uint8_t(s[at + 1])) << 16 |
         uint32_t(uint8_t(s[at + 2])) << 8 | uint32_t(uint8_t(s[at + 3]));
}

uint32_t crcOf(const std::string& s, size_t from, size_t len) {
  uint32_t c = 0xffffffffu;
  for (size_t i = from; i < from + len; i++) {
    c ^= uint8_t(s[i]);
    for (int k = 0; k < 8; k++) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

// Inflates the blocks deflate writes without tables of their own (stored
// and fixed-code blocks) from z[2...]; *end is where the Adler-32 begins.
bool inflate(const std::string& z, std::string* out, size_t* end) {
  size_t bit = 16;
  const auto get = [&](int n) {  // least significant bit first
    uint32_t v = 0;
    for (int i = 0; i < n; i++, bit++)
      if (bit / 8 < z.size()) v |= uint32_t((uint8_t(z[bit / 8]) >> (bit % 8)) & 1) << i;
    return v;
  };
  const auto code = [&](int n) {  // Huffman codes: most significant bit first
    uint32_t v = 0;
    for (int i = 0; i < n; i++) v = (v << 1) | get(1);
    return v;
  };
  const auto symbol = [&]() -> int {
    uint32_t c = code(7);
    if (c <= 0x17) return int(c) + 256;
    c = (c << 1) | get(1);
    if (c >= 0x30 && c <= 0xbf) return int(c) - 0x30;
    if (c >= 0xc0 && c <= 0xc7) return int(c) - 0xc0 + 280;
    c = (c << 1) | get(1);
    return int(c) - 0x190 + 144;
  };
  static const int lbase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                              31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static const int dbase[] = {1,   2,   3,   4,    5,    7,    9,    13,    17,    25,
                              33,  49,  65,  97,   129,  193,  257,  385,   513,   769,
                              1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  for (bool last = false; !last;) {
    if (bit / 8 >= z.size()) return false;
    last = get(1);
    const uint32_t type = get(2);
    if (type == 0) {
      bit = (bit + 7) / 8 * 8;
      const size_t n = get(16), inv = get(16);
      EXPECT_EQ(n ^ 0xffff, inv);
      if (bit / 8 + n > z.size()) return false;
      out->append(z, bit / 8, n);
      bit += n * 8;
      continue;
    }
    EXPECT_EQ(type, 1u) << "only stored and fixed-code blocks are written";
    if (type != 1) return false;
    for (int sym = symbol(); sym != 256; sym = symbol()) {
      if (bit / 8 >= z.size() || sym > 285) return false;
      if (sym < 256) {
        *out += char(sym);
        continue;
      }
      const int li = sym - 257;
      const int len = lbase[li] + int(get(li < 8 || li == 28 ? 0 : (li - 4) / 4));
      const int dc = int(code(5));
      if (dc > 29) return false;
      const size_t dist = size_t(dbase[dc]) + get(dc < 4 ? 0 : (dc - 2) / 2);
      if (dist > out->size()) return false;
      for (int k = 0; k < len; k++) *out += (*out)[out->size() - dist];
    }
  }
  *end = (bit + 7) / 8;
  return true;
}

// A reader for what the writer may produce: chunks with their CRCs, a zlib
// stream with its Adler-32, rows without a filter.
std::vector<uint32_t> decodePng(const std::string& png, int* w, int* h) {
  std::vector<uint32_t> none;
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  std::string z;
  bool ended = false;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t len = be32(png, at);
    const std::string type = png.substr(at + 4, 4);
    EXPECT_EQ(be32(png, at + 8 + len), crcOf(png, at + 4, len + 4)) << type;
    if (type == "IHDR") {
      *w = int(be32(png, at + 8));
      *h = int(be32(png, at + 12));
      EXPECT_EQ(png.substr(at + 16, 5), std::string("\x08\x06\x00\x00\x00", 5)) << "8-bit RGBA";
    } else if (type == "IDAT") {
      z += png.substr(at + 8, len);
    } else if (type == "IEND") {
      ended = true;
      EXPECT_EQ(at + 12, png.size()) << "nothing after IEND";
    }
    at += 12 + len;
  }
  EXPECT_TRUE(ended);
  if (z.size() < 6 || ((uint8_t(z[0]) << 8) | uint8_t(z[1])) % 31 != 0) return none;
  std::string raw;
  size_t at = 0;
  if (!inflate(z, &raw, &at)) return none;
  uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + uint8_t(c)) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(be32(z, at), (b << 16) | a) << "Adler-32";
  EXPECT_EQ(at + 4, z.size());
  std::vector<uint32_t> px;
  const size_t row = size_t(*w) * 4 + 1;
  if (raw.size() != row * size_t(*h)) return none;
  for (int y = 0; y < *h; y++) {
    EXPECT_EQ(raw[size_t(y) * row], 0) << "filter of row " << y;
    for (int x = 0; x < *w; x++) {
      const size_t p = size_t(y) * row + 1 + size_t(x) * 4;
      px.push_back(uint32_t(uint8_t(raw[p + 3])) << 24 | uint32_t(uint8_t(raw[p])) << 16 |
                   uint32_t(uint8_t(raw[p + 1])) << 8 | uint8_t(raw[p + 2]));
    }
  }
  return px;
}

bool have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string scratch(const char* name) {
  return std::string(testing::TempDir()) + "/" + std::to_string(getpid()) + "-" + name;
}

TEST(AppIcon, PngReadsBackToTheSamePixels) {
  for (const int n : {16, 48, 256}) {  // 256: long runs, many rows
    const std::vector<uint32_t> px = IconPixels(n);
    const std::string png = EncodePng(px, n, n);
    int w = 0, h = 0;
    EXPECT_EQ(decodePng(png, &w, &h), px) << n;
    EXPECT_EQ(w, n);
    EXPECT_EQ(h, n);
    // A decoder that is not ours, where one is installed.
    if (n != 48 || !have("convert")) continue;
    const std::string file = scratch("icon.png"), out = scratch("icon.rgba");
    std::ofstream(file, std::ios::binary) << png;
    ASSERT_EQ(std::system(("convert " + file + " -depth 8 rgba:" + out).c_str()), 0);
    std::ifstream in(out, std::ios::binary);
    const std::string rgba((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(rgba.size(), px.size() * 4);
    for (size_t i = 0; i < px.size(); i++) {
      const uint32_t alpha = uint8_t(rgba[i * 4 + 3]);
      EXPECT_EQ(alpha, px[i] >> 24) << i;
      if (alpha) {
        EXPECT_EQ(uint32_t(uint8_t(rgba[i * 4])), (px[i] >> 16) & 0xff) << i;
      }
    }
    std::remove(file.c_str());
    std::remove(out.c_str());
  }
}

TEST(AppIcon, SvgHoldsEveryShapeAndParses) {
  const std::string svg = IconSvg();
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
  for (const IconShape& s : IconShapes()) {
    char rect[160];
    std::snprintf(rect, sizeof rect,
                  "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" rx=\"%d\" fill=\"#%06X\"/>",
                  s.x0, s.y0, s.x1 - s.x0, s.y1 - s.y0, s.radius, unsigned(s.rgb));
    EXPECT_NE(svg.find(rect), std::string::npos) << rect;
  }
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  if (!have("xmllint")) return;
  const std::string file = scratch("icon.svg");
  std::ofstream(file) << svg;
  EXPECT_EQ(std::system(("xmllint --noout " + file).c_str()), 0);
  std::remove(file.c_str());
}

}  // namespace
