// Times the lease lookup of the portable code over real files and prints
// one line: seconds, count, peak memory in KiB.
//   lease_search scan   ROOT LISTFILE SEARCHTEXT  -- the search alone: lines found (as grep -c counts)
//   lease_search lookup ROOT LISTFILE SEARCHTEXT  -- Tessilo's whole lookup: records logged
// ROOT is the folder that stands for drive c's parent (c:\x is ROOT/c/x);
// built as Windows code, the real drive c is used and ROOT is ignored.
// The clipboard is the in-memory one here.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bench_file_system.h"
#include "converter/form1.h"
#include "leases/readdhcp.h"
#include "memory_services.h"
#include "runtime/text.h"

namespace {

// Peak resident memory in KiB (Linux, and Wine, which shows Linux's /proc).
long peakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Counts what reaches the clipboard instead of keeping it all.
class CountingServices : public rt::MemoryServices {
 public:
  using MemoryServices::MemoryServices;
  void clipboardSetText(std::u16string_view, ClipboardEntry) override { ++sets; }
  std::size_t sets = 0;
};

std::size_t scan(rt::FileTable& files, const std::u16string& list, const std::u16string& needle) {
  std::size_t found = 0;
  files.open(1, list, rt::OpenMode::Input);
  std::u16string line;
  while (!files.eof(1)) {
    const std::u16string listing = files.lineInput(1);
    if (rt::trim(listing).empty()) continue;
    files.open(2, listing, rt::OpenMode::Input);
    while (files.lineInputContaining(2, needle, line)) ++found;
    files.close(2);
  }
  files.close(1);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || (std::strcmp(argv[1], "scan") != 0 && std::strcmp(argv[1], "lookup") != 0)) {
    std::fprintf(stderr, "usage: lease_search scan|lookup ROOT LISTFILE SEARCHTEXT\n");
    return 64;
  }
  const auto fs = benchFileSystem(argv[2]);
  CountingServices services(*fs);
  const std::u16string list = rt::widen(argv[3]), needle = rt::widen(argv[4]);
  std::size_t count = 0;
  const auto start = std::chrono::steady_clock::now();
  try {
    if (std::strcmp(argv[1], "scan") == 0) {
      count = scan(services.files(), list, needle);
    } else {
      conv::Form1 form(services);
      leases::readdhcp(form, u"/dhcp<" + list + u" " + needle);
      count = services.sets / 2;  // the converted address, then the report
    }
  } catch (const rt::Error& e) {
    std::fprintf(stderr, "error %d: %s\n", e.number(), e.what());
    return 1;
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%.4f %zu %ld\n", took.count(), count, peakKiB());
  return 0;
}
