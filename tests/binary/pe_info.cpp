// Reads a Windows program's PE headers and import table straight from the
// file, so that the binary checks do not depend on how one release of
// binutils lays out `objdump -p`.
//   pe_info imports PROGRAM.exe   one "DLL FUNCTION" line per import (DLL in
//                                 capitals; "DLL #N" for an ordinal)
//   pe_info headers PROGRAM.exe   one "name=value" line per header field, and
//                                 "section.NAME=FILE_OFFSET,SIZE" per section
// Exit code 2, with a message, for a file that is not a well-formed PE image.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Image {
 public:
  explicit Image(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the file");
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    if (u16(0) != 0x5A4D) throw std::runtime_error("no MZ header");
    pe_ = u32(0x3C);
    if (u32(pe_) != 0x00004550) throw std::runtime_error("no PE signature");
    opt_ = pe_ + 24;
    const std::uint16_t magic = u16(opt_);
    if (magic != 0x10B && magic != 0x20B) throw std::runtime_error("unknown optional header");
    wide_ = magic == 0x20B;
    sections_ = opt_ + u16(pe_ + 20);
  }

  std::uint32_t u16(std::size_t at) const { return byteAt(at) | byteAt(at + 1) << 8; }
  std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
  std::uint64_t u64(std::size_t at) const { return u32(at) | std::uint64_t{u32(at + 4)} << 32; }

  std::size_t coff() const { return pe_ + 4; }
  std::size_t optional() const { return opt_; }
  bool wide() const { return wide_; }

  // The file offset of a relative virtual address, through the section table.
  std::size_t offsetOf(std::uint32_t rva) const {
    for (std::uint32_t i = 0, n = u16(coff() + 2); i < n; ++i) {
      const std::size_t s = sections_ + 40 * i;
      const std::uint32_t start = u32(s + 12), size = std::max(u32(s + 8), u32(s + 16));
      if (rva >= start && rva - start < size) return u32(s + 20) + (rva - start);
    }
    throw std::runtime_error("an address outside every section");
  }

  std::string stringAt(std::size_t at) const {
    std::string text;
    for (; byteAt(at) != 0; ++at) text += static_cast<char>(byteAt(at));
    return text;
  }

  // Where section header i stands in the file.
  std::size_t sectionHeader(std::uint32_t i) const { return sections_ + 40 * i; }

  // Data directory entry i: its address and size.
  std::uint32_t directory(int i) const {
    const std::size_t count = opt_ + (wide_ ? 108 : 92);
    if (static_cast<std::uint32_t>(i) >= u32(count)) return 0;
    return u32(count + 4 + 8 * i);
  }

 private:
  std::uint32_t byteAt(std::size_t at) const {
    if (at >= bytes_.size()) throw std::runtime_error("truncated");
    return static_cast<unsigned char>(bytes_[at]);
  }

  std::vector<char> bytes_;
  std::size_t pe_ = 0, opt_ = 0, sections_ = 0;
  bool wide_ = false;
};

void printImports(const Image& image) {
  const std::uint32_t table = image.directory(1);
  if (table == 0) return;
  for (std::size_t d = image.offsetOf(table);; d += 20) {
    const std::uint32_t lookup = image.u32(d), name = image.u32(d + 12), bound = image.u32(d + 16);
    if (name == 0) break;
    std::string dll = image.stringAt(image.offsetOf(name));
    for (char& c : dll) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::size_t step = image.wide() ? 8 : 4;
    for (std::size_t t = image.offsetOf(lookup ? lookup : bound);; t += step) {
      const std::uint64_t thunk = image.wide() ? image.u64(t) : image.u32(t);
      if (thunk == 0) break;
      const std::uint64_t byOrdinal = image.wide() ? std::uint64_t{1} << 63 : std::uint64_t{1} << 31;
      if (thunk & byOrdinal)
        std::printf("%s #%u\n", dll.c_str(), static_cast<unsigned>(thunk & 0xFFFF));
      else
        std::printf("%s %s\n", dll.c_str(),
                    image.stringAt(image.offsetOf(static_cast<std::uint32_t>(thunk)) + 2).c_str());
    }
  }
}

void printHeaders(const Image& image) {
  const std::size_t c = image.coff(), o = image.optional();
  std::printf("machine=0x%04x\n", image.u16(c));
  std::printf("timestamp=%u\n", image.u32(c + 4));
  std::printf("characteristics=0x%04x\n", image.u16(c + 18));
  std::printf("os_version=%u.%u\n", image.u16(o + 40), image.u16(o + 42));
  std::printf("subsystem_version=%u.%u\n", image.u16(o + 48), image.u16(o + 50));
  std::printf("checksum=0x%08x\n", image.u32(o + 64));
  std::printf("subsystem=%u\n", image.u16(o + 68));
  std::printf("dll_characteristics=0x%04x\n", image.u16(o + 70));
  for (std::uint32_t i = 0, n = image.u16(c + 2); i < n; ++i) {
    const std::size_t at = image.sectionHeader(i);
    std::string name;
    for (std::size_t k = 0; k < 8 && image.u16(at + k) % 256 != 0; ++k) name += static_cast<char>(image.u16(at + k) % 256);
    std::printf("section.%s=%u,%u\n", name.c_str(), image.u32(at + 20), image.u32(at + 16));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc == 3 ? argv[1] : "";
  if (verb != "imports" && verb != "headers") {
    std::fprintf(stderr, "usage: pe_info imports|headers PROGRAM.exe\n");
    return 64;
  }
  try {
    const Image image(argv[2]);
    if (verb == "imports")
      printImports(image);
    else
      printHeaders(image);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pe_info: %s: %s\n", argv[2], e.what());
    return 2;
  }
  return 0;
}
