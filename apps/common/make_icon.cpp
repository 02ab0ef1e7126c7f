// Draws the programs' icon and writes it as a .ico file:
//   make_icon OUTPUT.ico
// The design: a colon-separated pair of hex octets beside the same pair
// with a dash, dark on light grey, in a small pixel font. The 96 x 21 image
// is the classic one; the square sizes stack the two pairs.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// 3 x 5 glyphs, one string per row, '#' is ink.
struct Glyph {
  char c;
  const char* rows[5];
};
constexpr Glyph kFont[] = {
    {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {':', {"...", ".#.", "...", ".#.", "..."}},
    {'-', {"...", "...", "###", "...", "..."}},
};

constexpr std::uint8_t kPaper = 0xD4, kInk = 0x30, kRule = 0x80;

struct Image {
  int width, height;
  std::vector<std::uint8_t> grey;  // row 0 at the top
  Image(int w, int h) : width(w), height(h), grey(static_cast<std::size_t>(w * h), kPaper) {}
  void fill(int x, int y, int w, int h, std::uint8_t value) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i)
        if (i >= 0 && j >= 0 && i < width && j < height) grey[static_cast<std::size_t>(j * width + i)] = value;
  }
  // Draws text with each font pixel as a scale x scale block; returns the width used.
  int text(int x, int y, const std::string& s, int scale) {
    const int start = x;
    for (char c : s) {
      for (const Glyph& g : kFont) {
        if (g.c != c) continue;
        for (int row = 0; row < 5; ++row)
          for (int col = 0; col < 3; ++col)
            if (g.rows[row][col] == '#') fill(x + col * scale, y + row * scale, scale, scale, kInk);
      }
      x += 4 * scale;
    }
    return x - start - scale;
  }
};

constexpr int textWidth(int chars, int scale) { return chars * 4 * scale - scale; }

Image classic() {
  Image img(96, 21);
  const int scale = 2, w = textWidth(5, scale), y = (21 - 5 * scale) / 2;
  img.text((48 - w) / 2, y, "00:1A", scale);
  img.fill(47, 3, 1, 15, kRule);
  img.text(48 + (48 - w) / 2, y, "00-1A", scale);
  return img;
}

Image square(int size) {
  Image img(size, size);
  if (size < 32) {  // too small for two lines: the two separators alone
    const int scale = size / 8, w = textWidth(2, scale);
    img.text((size - w) / 2, (size - 5 * scale) / 2, ":-", scale);
    return img;
  }
  const int scale = size / 24 > 0 ? size / 24 : 1, w = textWidth(5, scale), gap = 2 * scale;
  const int top = (size - (10 * scale + gap)) / 2;
  img.text((size - w) / 2, top, "00:1A", scale);
  img.text((size - w) / 2, top + 5 * scale + gap, "00-1A", scale);
  return img;
}

void put16(std::string& out, int v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
  put16(out, static_cast<int>(v & 0xFFFF));
  put16(out, static_cast<int>(v >> 16));
}

// A 24-bit DIB with its all-opaque AND mask, as an icon image.
std::string dib(const Image& img) {
  const int colorStride = (img.width * 3 + 3) / 4 * 4, maskStride = (img.width + 31) / 32 * 4;
  std::string out;
  put32(out, 40);
  put32(out, static_cast<std::uint32_t>(img.width));
  put32(out, static_cast<std::uint32_t>(img.height * 2));
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>((colorStride + maskStride) * img.height));
  for (int i = 0; i < 4; ++i) put32(out, 0);
  for (int y = img.height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < img.width; ++x) row.append(3, static_cast<char>(img.grey[static_cast<std::size_t>(y * img.width + x)]));
    row.resize(static_cast<std::size_t>(colorStride), '\0');
    out += row;
  }
  out.append(static_cast<std::size_t>(maskStride * img.height), '\0');
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
    return 64;
  }
  // The classic image first: it is what the window shows by default.
  const std::vector<Image> images = {classic(), square(16), square(32), square(48), square(256)};
  std::string header, body;
  put16(header, 0);
  put16(header, 1);
  put16(header, static_cast<int>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const Image& img : images) {
    const std::string bits = dib(img);
    header += static_cast<char>(img.width >= 256 ? 0 : img.width);
    header += static_cast<char>(img.height >= 256 ? 0 : img.height);
    header += '\0';
    header += '\0';
    put16(header, 1);
    put16(header, 24);
    put32(header, static_cast<std::uint32_t>(bits.size()));
    put32(header, offset);
    offset += static_cast<std::uint32_t>(bits.size());
    body += bits;
  }
  std::ofstream(argv[1], std::ios::binary) << header << body;
  return 0;
}
