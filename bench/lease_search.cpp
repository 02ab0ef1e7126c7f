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
#include <optional>
#include <string>

#include "bench_file_system.h"
#include "converter/form1.h"
#include "leases/lease_record.h"
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

// Takes what reaches the clipboard without keeping it all.
class DroppingClipboard : public rt::Clipboard {
 public:
  void setText(std::u16string_view, Entry) override {}
};

// The real time, as the lookup's checks for window events read it.
class SteadyClock : public rt::MemoryClock {
 public:
  std::uint64_t milliseconds() override {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
};

// The records in the log, read back with their own layout; none when a
// lookup without a match made no log.
std::size_t recordsLogged(rt::FileTable& files) {
  std::size_t records = 0;
  std::optional<rt::OpenFile> found;
  try {
    found.emplace(files, files.freeFile(), u"c:\\temp\\findout.txt", rt::OpenMode::Input);
  } catch (const rt::Error& e) {
    if (e.number() == rt::err::FileNotFound) return 0;
    throw;
  }
  rt::OpenFile& log = *found;
  leases::RecordLines lines;
  for (std::size_t n = 0; !files.eof(log.number()); ++n) {
    lines[n % lines.size()] = files.lineInput(log.number());
    if (n % lines.size() == lines.size() - 1 && leases::readRecord(lines)) ++records;
  }
  log.close();
  return records;
}

std::size_t scan(rt::FileTable& files, const std::u16string& list, const std::u16string& needle) {
  std::size_t found = 0;
  files.open(1, list, rt::OpenMode::Input);
  std::u16string line;
  while (!files.eof(1)) {
    const std::u16string listing = files.lineInput(1);
    if (rt::trim(listing).empty()) continue;
    files.open(2, listing, rt::OpenMode::Input);
    for (rt::FileTable::Search step; (step = files.lineInputContaining(2, needle, line)) != rt::FileTable::Search::End;)
      if (step == rt::FileTable::Search::Found) ++found;
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
  rt::MemoryServices memory(*fs);
  DroppingClipboard clipboard;
  SteadyClock clock;
  const rt::Services services{memory.windows, clipboard,    memory.processes, memory.invocation,
                              clock,          memory.errors, memory.files};
  const std::u16string list = rt::widen(argv[3]), needle = rt::widen(argv[4]);
  std::size_t count = 0;
  const auto start = std::chrono::steady_clock::now();
  try {
    if (std::strcmp(argv[1], "scan") == 0) {
      count = scan(services.files, list, needle);
    } else {
      conv::Form1 form(services);
      leases::readdhcp(form, u"/dhcp<" + list + u" " + needle);
    }
  } catch (const rt::Error& e) {
    std::fprintf(stderr, "error %d: %s\n", e.number(), e.what());
    return 1;
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (std::strcmp(argv[1], "lookup") == 0) count = recordsLogged(services.files);
  std::printf("%.4f %zu %ld\n", took.count(), count, peakKiB());
  return 0;
}
