#include "runtime/file_table.h"

#include "code_page.h"
#include "line_reader.h"
#include "runtime/error.h"

namespace rt {
namespace {
constexpr int kMaxFileNumber = 511;
constexpr std::size_t kFlushAt = std::size_t{1} << 16;
// A file open for input that tells the table's observer of each piece read.
class ObservedFile : public File {
 public:
  ObservedFile(std::unique_ptr<File> file, const FileTable::ReadObserver& observer)
      : file_(std::move(file)), observer_(observer) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t got = file_->read(buffer, size);
    if (observer_) observer_(got);
    return got;
  }
  void seek(std::uint64_t offset) override { file_->seek(offset); }
  void write(std::string_view bytes) override { file_->write(bytes); }

 private:
  std::unique_ptr<File> file_;
  const FileTable::ReadObserver& observer_;  // the table's: set and unset while the file is open
};

}  // namespace

struct FileTable::Entry {
  OpenMode mode;
  std::unique_ptr<File> out;     // Output and Append
  std::unique_ptr<LineReader> in;  // Input
  std::string pending;
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
    entry->in = std::make_unique<LineReader>(std::make_unique<ObservedFile>(std::move(file), observer_), *codePage_);
  else
    entry->out = std::move(file);
  open_.emplace(number, std::move(entry));
}

void FileTable::close(int number) {
  const auto it = open_.find(number);
  if (it == open_.end()) return;  // closing a closed number is no error
  const std::unique_ptr<Entry> entry = std::move(it->second);
  open_.erase(it);
  if (entry->out && !entry->pending.empty()) entry->out->write(entry->pending);
}

void FileTable::abandon(int number) noexcept { open_.erase(number); }

void FileTable::closeAll() noexcept {
  while (!open_.empty()) {
    try {
      close(open_.begin()->first);
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

bool FileTable::lineInputContaining(int number, std::u16string_view needle, std::u16string& line) {
  return entry(number, OpenMode::Input).in->readLineContaining(needle, line);
}

void FileTable::printLine(int number, std::initializer_list<PrintItem> items) {
  Entry& e = entry(number, OpenMode::Output);
  e.pending += fs_.encode(layoutPrintLine(items));
  e.pending += "\r\n";
  // What is appended between open and close goes out in one write, whatever
  // its size, so that records of writers appending at once never interleave.
  if (e.mode == OpenMode::Output && e.pending.size() >= kFlushAt) {
    std::string bytes = std::move(e.pending);
    e.pending.clear();
    e.out->write(bytes);
  }
}

}  // namespace rt
