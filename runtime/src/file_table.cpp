#include "runtime/file_table.h"

#include "code_page.h"
#include "line_reader.h"
#include <algorithm>

#include "runtime/error.h"
#include "runtime/scope_exit.h"

namespace rt {
namespace {
constexpr int kMaxFileNumber = 511;
constexpr std::size_t kFlushAt = std::size_t{1} << 16;
}  // namespace

struct FileTable::Entry {
  OpenMode mode;
  std::unique_ptr<File> out;     // Output and Append
  std::unique_ptr<LineReader> in;  // Input
  std::string pending;
  bool closing = false;  // its last write under way
};

FileTable::FileTable(FileSystem& fs) : fs_(fs), codePage_(std::make_unique<CodePage>(fs)) {}
FileTable::~FileTable() { closeAll(); }

int FileTable::freeFile() const {
  int number = 1;
  for (const auto& [n, entry] : open_) {
    if (n != number) break;
    ++number;
  }
  if (number > kMaxFileNumber) throw Error(err::BadFileNameOrNumber);
  return number;
}

bool FileTable::isOpen(int number) const { return open_.count(number) != 0; }

void FileTable::open(int number, std::u16string_view path, OpenMode mode) {
  if (number < 1 || number > kMaxFileNumber) throw Error(err::BadFileNameOrNumber);
  if (isOpen(number)) throw Error(err::FileAlreadyOpen);
  auto entry = std::make_unique<Entry>();
  entry->mode = mode;
  std::unique_ptr<File> file = fs_.open(path, mode);
  if (mode == OpenMode::Input)
    entry->in = std::make_unique<LineReader>(std::move(file), *codePage_);
  else
    entry->out = std::move(file);
  open_.emplace(number, std::move(entry));
}

void FileTable::close(int number) {
  const auto it = open_.find(number);
  if (it == open_.end() || it->second->closing) return;  // closing a closed number is no error
  Entry& entry = *it->second;
  // The number stays taken while the last write runs: the end of the
  // session may land inside it (in the append turn's wait), and abandon
  // must then find the file to let go of.
  const auto free = scopeExit([this, number] { release(number); });
  if (!entry.out || entry.pending.empty()) return;
  entry.closing = true;
  if (entry.mode == OpenMode::Append)
    appendLines(*entry.out, entry.pending);
  else
    entry.out->write(entry.pending);
}

void FileTable::abandon(int number) noexcept {
  const auto it = open_.find(number);
  if (it == open_.end()) return;
  if (it->second->closing)
    it->second->out->drop();  // the close under way frees the number as it ends
  else
    release(number);
}

void FileTable::release(int number) noexcept {
  const auto it = open_.find(number);
  if (it == open_.end()) return;
  const std::unique_ptr<Entry> entry = std::move(it->second);
  open_.erase(it);
  if (entry->in) entry->in->cancelRead();
}

void FileTable::closeAll() noexcept {
  for (;;) {
    const auto it = std::find_if(open_.begin(), open_.end(), [](const auto& open) { return !open.second->closing; });
    if (it == open_.end()) return;
    try {
      close(it->first);
    } catch (const Error&) {
      // The number is free already; what could not be written is lost.
    }
  }
}

FileTable::Entry& FileTable::entry(int number, OpenMode wanted) {
  const auto it = open_.find(number);
  if (it == open_.end()) throw Error(err::BadFileNameOrNumber);
  Entry& e = *it->second;
  if ((wanted == OpenMode::Input) != (e.mode == OpenMode::Input)) throw Error(err::BadFileMode);
  return e;
}

bool FileTable::eof(int number) { return entry(number, OpenMode::Input).in->atEnd(); }

std::u16string FileTable::lineInput(int number) {
  LineReader& in = *entry(number, OpenMode::Input).in;
  if (in.atEnd()) throw Error(err::InputPastEndOfFile);
  return in.readLine();
}

FileTable::Search FileTable::lineInputContaining(int number, std::u16string_view needle, std::u16string& line) {
  return entry(number, OpenMode::Input).in->search(needle, line);
}

Signal* FileTable::readSignal(int number) { return entry(number, OpenMode::Input).in->readSignal(); }

std::uint64_t FileTable::bytesRead(int number) { return entry(number, OpenMode::Input).in->bytesRead(); }

void FileTable::printLine(int number, std::initializer_list<PrintItem> items) {
  Entry& e = entry(number, OpenMode::Output);
  e.pending += fs_.encode(layoutPrintLine(items));
  e.pending += "\r\n";
  // What is appended between open and close goes out in one write, whatever
  // its size, so that records of writers appending at once never interleave.
  if (e.mode != OpenMode::Append && e.pending.size() >= kFlushAt) {
    std::string bytes = std::move(e.pending);
    e.pending.clear();
    e.out->write(bytes);
  }
}

}  // namespace rt
