#include "line_reader.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "runtime/text.h"

namespace rt {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 18;
constexpr auto npos = std::string::npos;

enum class Encoding { CodePage, Utf8, Utf16 };

// Lines of a stream of code units (bytes, or UTF-16 units). Offsets in the
// private functions count from pos_, so compacting the buffer keeps them valid.
template <class Unit>
class Scanner {
 public:
  using String = std::basic_string<Unit>;
  using View = std::basic_string_view<Unit>;
  using Fill = std::function<bool(String&)>;  // appends units; false at the end

  Scanner(String first, Fill fill) : buf_(std::move(first)), fill_(std::move(fill)) {}

  bool atEnd() { return !available(1); }

  String nextLine() { return take(0, findLineEnd(0)); }

  // The next line holding needle (not empty, without line ends); found
  // decides on the decoded line, so needle may be a prefilter only.
  template <class Find, class Verify>
  std::optional<String> nextLineContaining(std::size_t needleSize, const Find& find, const Verify& found) {
    std::size_t from = 0;
    for (;;) {
      const View hay = View(buf_).substr(pos_);
      const std::size_t at = find(hay, from);
      if (at == npos) {
        const std::size_t lastEnd = hay.find_last_of(kLineEnds);
        const std::size_t keep = lastEnd == npos ? 0 : lastEnd + 1;
        pos_ += keep;
        from = hay.size() - keep >= needleSize ? hay.size() - keep - needleSize + 1 : 0;
        if (!more()) {
          pos_ = buf_.size();
          return std::nullopt;
        }
        continue;
      }
      const std::size_t prevEnd = at == 0 ? npos : hay.find_last_of(kLineEnds, at - 1);
      const std::size_t start = prevEnd == npos ? 0 : prevEnd + 1;
      String line = take(start, findLineEnd(at + needleSize));
      if (found(line)) return line;
      from = 0;
    }
  }

 private:
  static constexpr Unit kLineEnds[] = {Unit('\r'), Unit('\n'), Unit(0)};

  bool more() {
    if (ended_) return false;
    if (pos_ > 0) {
      buf_.erase(0, pos_);
      pos_ = 0;
    }
    if (!fill_(buf_)) ended_ = true;
    return !ended_;
  }

  bool available(std::size_t n) {
    while (buf_.size() - pos_ < n)
      if (!more()) return false;
    return true;
  }

  // Offset of the first line end at or after from; npos when the data ends first.
  std::size_t findLineEnd(std::size_t from) {
    for (;;) {
      const auto begin = buf_.begin() + static_cast<std::ptrdiff_t>(pos_);
      const auto it = std::find_if(begin + static_cast<std::ptrdiff_t>(std::min(from, buf_.size() - pos_)),
                                   buf_.end(), [](Unit u) { return u == Unit('\r') || u == Unit('\n'); });
      if (it != buf_.end()) return static_cast<std::size_t>(it - begin);
      from = buf_.size() - pos_;
      if (!more()) return npos;
    }
  }

  // Takes [start, end) as the line and moves past its line end.
  String take(std::size_t start, std::size_t end) {
    if (end == npos) end = buf_.size() - pos_;
    String line = buf_.substr(pos_ + start, end - start);
    std::size_t next = end;
    if (next < buf_.size() - pos_) {
      const bool cr = buf_[pos_ + next] == Unit('\r');
      ++next;
      if (cr && available(next + 1) && buf_[pos_ + next] == Unit('\n')) ++next;
    }
    pos_ += next;
    return line;
  }

  String buf_;
  std::size_t pos_ = 0;
  bool ended_ = false;
  Fill fill_;
};

bool readBytes(File& file, std::string& buf) {
  const std::size_t old = buf.size();
  buf.resize(old + kChunk);
  const std::size_t got = file.read(buf.data() + old, kChunk);
  buf.resize(old + got);
  return got != 0;
}

std::u16string unitsFromUtf16le(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return units;
}

}  // namespace

class LineReader::Impl {
 public:
  Impl(std::unique_ptr<File> file, FileSystem& fs) : file_(std::move(file)), fs_(fs) {
    std::string first;
    while (first.size() < 3 && readBytes(*file_, first)) {
    }
    if (first.rfind("\xFF\xFE", 0) == 0) {
      encoding_ = Encoding::Utf16;
      carry_ = first.substr(2);
      wide_ = std::make_unique<Wide>(unitsFromCarry(), [this](std::u16string& buf) { return fillWide(buf); });
      return;
    }
    if (first.rfind("\xEF\xBB\xBF", 0) == 0) {
      encoding_ = Encoding::Utf8;
      first.erase(0, 3);
    }
    narrow_ = std::make_unique<Narrow>(std::move(first), [this](std::string& buf) { return readBytes(*file_, buf); });
  }

  bool atEnd() { return wide_ ? wide_->atEnd() : narrow_->atEnd(); }

  std::u16string readLine() { return wide_ ? wide_->nextLine() : decode(narrow_->nextLine()); }

  bool readLineContaining(std::u16string_view needle, std::u16string& line) {
    if (needle.find_first_of(u"\r\n") != npos) {
      while (!atEnd()) readLine();
      return false;
    }
    if (needle.empty() || !prefilterFor(needle)) {
      while (!atEnd()) {
        line = readLine();
        if (contains(line, needle)) return true;
      }
      return false;
    }
    if (wide_) {
      auto hit = wide_->nextLineContaining(
          needle.size(), [needle](std::u16string_view hay, std::size_t from) { return hay.find(needle, from); },
          [](const std::u16string&) { return true; });
      if (hit) line = std::move(*hit);
      return hit.has_value();
    }
    const std::string& bytes = *prefilter_;
    const std::boyer_moore_horspool_searcher searcher(bytes.begin(), bytes.end());
    auto hit = narrow_->nextLineContaining(
        bytes.size(),
        [&searcher](std::string_view hay, std::size_t from) {
          const auto it = std::search(hay.begin() + static_cast<std::ptrdiff_t>(from), hay.end(), searcher);
          return it == hay.end() ? npos : static_cast<std::size_t>(it - hay.begin());
        },
        [&](const std::string& raw) {
          line = decode(raw);
          return contains(line, needle);
        });
    return hit.has_value();
  }

 private:
  using Narrow = Scanner<char>;
  using Wide = Scanner<char16_t>;

  std::u16string decode(const std::string& bytes) {
    return encoding_ == Encoding::Utf8 ? fromUtf8(bytes) : fs_.decode(bytes);
  }

  std::u16string unitsFromCarry() {
    std::u16string units = unitsFromUtf16le(carry_);
    carry_.erase(0, units.size() * 2);
    return units;
  }

  bool fillWide(std::u16string& buf) {
    if (!readBytes(*file_, carry_)) {
      if (carry_.empty()) return false;
      carry_.clear();  // a trailing odd byte is not a character
      buf += u'\uFFFD';
      return true;
    }
    buf += unitsFromCarry();
    return true;
  }

  // The bytes that every line holding needle contains, when there are such;
  // then lines without them need no decoding.
  bool prefilterFor(std::u16string_view needle) {
    if (encoding_ == Encoding::Utf16) return true;
    if (prefilterNeedle_ != needle) {
      prefilterNeedle_ = needle;
      // Broken byte sequences decode to U+FFFD; no byte pattern stands for them.
      if (needle.find(u'\uFFFD') != std::u16string_view::npos) {
        prefilter_.reset();
        return false;
      }
      if (encoding_ == Encoding::Utf8) {
        std::string bytes = toUtf8(needle);
        prefilter_ = fromUtf8(bytes) == needle ? std::optional(std::move(bytes)) : std::nullopt;
      } else {
        std::string bytes = fs_.encode(needle);
        prefilter_ = fs_.decode(bytes) == needle ? std::optional(std::move(bytes)) : std::nullopt;
      }
    }
    return prefilter_.has_value();
  }

  std::unique_ptr<File> file_;
  FileSystem& fs_;
  Encoding encoding_ = Encoding::CodePage;
  std::string carry_;
  std::unique_ptr<Narrow> narrow_;
  std::unique_ptr<Wide> wide_;
  std::u16string prefilterNeedle_;
  std::optional<std::string> prefilter_;
};

LineReader::LineReader(std::unique_ptr<File> file, FileSystem& fs) : impl_(std::make_unique<Impl>(std::move(file), fs)) {}
LineReader::~LineReader() = default;
bool LineReader::atEnd() { return impl_->atEnd(); }
std::u16string LineReader::readLine() { return impl_->readLine(); }
bool LineReader::readLineContaining(std::u16string_view needle, std::u16string& line) {
  return impl_->readLineContaining(needle, line);
}

}  // namespace rt
