#include "display/app_icon.h"

#include <array>
#include <cstdio>

namespace {

// A page of text under a status line, in the editor's own colours: the
// green status line, dark text on white, the red cursor after the last
// word.  Edges lie on multiples of 16 units where they can, so that at
// 16 x 16 pixels each shape keeps whole pixels of its own.
constexpr std::array<IconShape, 8> kShapes{{
    {16, 16, 240, 240, 32, 0x263238},  // frame
    {32, 32, 224, 64, 8, 0xB0DC1C},    // status line
    {32, 80, 224, 224, 16, 0xFFFFFF},  // text area
    {48, 96, 176, 112, 0, 0x263238},   // text lines
    {48, 128, 208, 144, 0, 0x263238},
    {48, 160, 192, 176, 0, 0x263238},
    {48, 192, 128, 208, 0, 0x263238},
    {144, 176, 160, 208, 0, 0xFF0000},  // cursor
}};

bool covers(const IconShape& s, double x, double y) {
  if (x < s.x0 || x >= s.x1 || y < s.y0 || y >= s.y1) return false;
  if (s.radius <= 0) return true;
  const double r = s.radius;
  const double cx = x < s.x0 + r ? s.x0 + r : (x > s.x1 - r ? s.x1 - r : x);
  const double cy = y < s.y0 + r ? s.y0 + r : (y > s.y1 - r ? s.y1 - r : y);
  const double dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}

// ---- PNG pieces ----

std::array<uint32_t, 256> crcTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t n = 0; n < 256; n++) {
    uint32_t c = n;
    for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[n] = c;
  }
  return t;
}

uint32_t crc32(const std::string& data, size_t from) {
  static const std::array<uint32_t, 256> table = crcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < data.size(); i++)
    c = table[(c ^ uint8_t(data[i])) & 0xff] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void put32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xff);
}

void chunk(std::string& out, const char* type, const std::string& data) {
  put32(out, uint32_t(data.size()));
  std::string body(type, 4);
  body += data;
  out += body;
  put32(out, crc32(body, 0));
}

// Writes deflate's bit stream: values least significant bit first,
// Huffman codes most significant bit first.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void bits(uint32_t value, int count) {
    for (int i = 0; i < count; i++) put((value >> i) & 1);
  }
  void code(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; i--) put((value >> i) & 1);
  }
  void flush() {
    if (n_) out_ += char(acc_);
    acc_ = 0;
    n_ = 0;
  }

 private:
  void put(uint32_t bit) {
    acc_ |= bit << n_;
    if (++n_ == 8) flush();
  }
  std::string& out_;
  uint32_t acc_ = 0;
  int n_ = 0;
};

void literal(BitWriter& w, int sym) {
  if (sym < 144)
    w.code(uint32_t(0x30 + sym), 8);
  else if (sym < 256)
    w.code(uint32_t(0x190 + sym - 144), 9);
  else if (sym < 280)
    w.code(uint32_t(sym - 256), 7);
  else
    w.code(uint32_t(0xc0 + sym - 280), 8);
}

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// One block with the fixed codes, whose only matches repeat the pixel
// before (distance 4): the icon is flat colour, so that is most of it.
std::string zlibDeflate(const std::string& raw) {
  std::string z = "\x78\x01";
  BitWriter w(z);
  w.bits(1, 1);  // last block
  w.bits(1, 2);  // fixed Huffman codes
  constexpr size_t kDistance = 4;
  size_t i = 0;
  while (i < raw.size()) {
    size_t run = 0;
    if (i >= kDistance)
      while (run < 258 && i + run < raw.size() && raw[i + run] == raw[i + run - kDistance]) run++;
    if (run < 3) {
      literal(w, uint8_t(raw[i]));
      i++;
      continue;
    }
    int c = 28;
    while (kLengthBase[c] > int(run)) c--;
    literal(w, 257 + c);
    w.bits(uint32_t(int(run) - kLengthBase[c]), kLengthExtra[c]);
    w.code(3, 5);  // distance code 3: distance 4, no extra bits
    i += run;
  }
  literal(w, 256);  // end of block
  w.flush();
  uint32_t a = 1, b = 0;
  for (char ch : raw) {
    a = (a + uint8_t(ch)) % 65521;
    b = (b + a) % 65521;
  }
  put32(z, (b << 16) | a);
  return z;
}

}  // namespace

const std::vector<IconShape>& IconShapes() {
  static const std::vector<IconShape> shapes(kShapes.begin(), kShapes.end());
  return shapes;
}

std::vector<uint32_t> IconPixels(int size) {
  std::vector<uint32_t> out;
  if (size <= 0) return out;
  out.resize(size_t(size) * size_t(size));
  // Samples per pixel: at 16 pixels four across are 4 units apart, well
  // inside the thinnest shape; large sizes need fewer for smooth edges.
  const int ss = size >= 128 ? 2 : 4;
  const double step = double(kIconUnits) / size / ss;
  const double samples = double(ss) * ss;
  for (int py = 0; py < size; py++) {
    for (int px = 0; px < size; px++) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < ss; sy++) {
        const double y = (py * ss + sy + 0.5) * step;
        for (int sx = 0; sx < ss; sx++) {
          const double x = (px * ss + sx + 0.5) * step;
          const IconShape* top = nullptr;
          for (auto s = kShapes.rbegin(); s != kShapes.rend() && !top; ++s)
            if (covers(*s, x, y)) top = &*s;
          if (!top) continue;
          a += 1;
          r += (top->rgb >> 16) & 0xff;
          g += (top->rgb >> 8) & 0xff;
          b += top->rgb & 0xff;
        }
      }
      uint32_t pixel = 0;
      if (a > 0) {
        const auto channel = [&](double sum) { return uint32_t(sum / a + 0.5); };
        pixel = (uint32_t(a * 255 / samples + 0.5) << 24) | (channel(r) << 16) |
                (channel(g) << 8) | channel(b);
      }
      out[size_t(py) * size_t(size) + size_t(px)] = pixel;
    }
  }
  return out;
}

std::string IconSvg() {
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
      "viewBox=\"0 0 256 256\">\n";
  char line[160];
  for (const IconShape& s : kShapes) {
    std::snprintf(line, sizeof line,
                  "  <rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" rx=\"%d\" "
                  "fill=\"#%06X\"/>\n",
                  s.x0, s.y0, s.x1 - s.x0, s.y1 - s.y0, s.radius, unsigned(s.rgb));
    svg += line;
  }
  svg += "</svg>\n";
  return svg;
}

std::string EncodePng(const std::vector<uint32_t>& argb, int width, int height) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  put32(ihdr, uint32_t(width));
  put32(ihdr, uint32_t(height));
  ihdr += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter/interlace
  chunk(png, "IHDR", ihdr);
  std::string raw;
  raw.reserve(size_t(height) * (size_t(width) * 4 + 1));
  for (int y = 0; y < height; y++) {
    raw += '\0';  // filter: none
    for (int x = 0; x < width; x++) {
      const uint32_t p = argb[size_t(y) * size_t(width) + size_t(x)];
      raw += char((p >> 16) & 0xff);
      raw += char((p >> 8) & 0xff);
      raw += char(p & 0xff);
      raw += char(p >> 24);
    }
  }
  chunk(png, "IDAT", zlibDeflate(raw));
  chunk(png, "IEND", "");
  return png;
}
