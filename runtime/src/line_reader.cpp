#include "line_reader.h"

#include "line_search.h"

namespace rt {

using Search = FileTable::Search;

LineReader::LineReader(std::unique_ptr<File> file, CodePage& codePage, Limits limits)
    : opening_(std::make_unique<ReadWindow>(std::move(file), limits.readSize)), codePage_(codePage), limits_(limits) {}
LineReader::~LineReader() = default;

bool LineReader::begun(bool mayWait) {
  if (impl_) return true;
  if (mayWait) opening_->start(3);
  else if (!opening_->started(3)) return false;
  impl_ = std::make_unique<LineSearch>(std::move(*opening_), codePage_, limits_);
  opening_.reset();
  return true;
}

bool LineReader::atEnd() { return begun(true) && impl_->atEnd(); }
std::u16string LineReader::readLine() {
  begun(true);
  return impl_->readLine();
}
Search LineReader::search(std::u16string_view needle, std::u16string& line) {
  if (!impl_) [[unlikely]] {  // a step reads once at most
    const std::uint64_t before = opening_->bytesRead();
    if (!begun(false)) return opening_->waiting() ? Search::Waiting : Search::Paused;
    if (impl_->bytesRead() != before) return Search::Paused;
  }
  return impl_->search(needle, line);
}
std::uint64_t LineReader::bytesRead() const { return impl_ ? impl_->bytesRead() : opening_->bytesRead(); }
Signal* LineReader::readSignal() const noexcept { return impl_ ? impl_->readSignal() : opening_->signal(); }
void LineReader::cancelRead() noexcept {
  if (impl_)
    impl_->cancelRead();
  else
    opening_->cancel();
}

}  // namespace rt
