#pragma once
// A plain reference for what the line reader must give, written apart from
// it: the whole file cut at its line ends, each line decoded on its own by
// the decoders here (UTF-8 from the table of well-formed sequences, UTF-16
// unit by unit, code page text by the file system's own conversion).
// `readerDiffers` holds the runtime's reader, at any limits, to it: reading
// line by line gives the reference's lines, a search gives those of them
// holding the text, and a line longer than the longest is error 7 exactly
// where one has to be held. The unit tests run it on fixed seeds, the fuzz
// target on what the fuzzer makes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "code_page.h"
#include "line_reader.h"
#include "runtime/error.h"
#include "runtime/file_system.h"
#include "waiting_reads.h"

namespace testing_support {

struct ReferenceLine {
  std::u16string text;
  std::size_t bytes = 0;    // its bytes in the file, line end left out
  std::size_t highRun = 0;  // code page text: its longest run of bytes of 0x80 and above
};

// Well-formed UTF-8 as Unicode lists it (lead byte, then the range of the
// byte after it); each byte of anything else is one U+FFFD.
inline std::u16string referenceUtf8(std::string_view bytes) {
  struct Form {
    unsigned first, last, length, low, high;
  };
  static constexpr Form kForms[] = {
      {0x00, 0x7F, 1, 0, 0},       {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
      {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF},
      {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
  };
  const auto at = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
  std::u16string text;
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t length = 0;
    for (const Form& form : kForms) {
      if (at(i) < form.first || at(i) > form.last || i + form.length > bytes.size()) continue;
      bool whole = form.length == 1 || (at(i + 1) >= form.low && at(i + 1) <= form.high);
      for (std::size_t k = 2; whole && k < form.length; ++k) whole = at(i + k) >= 0x80 && at(i + k) <= 0xBF;
      if (whole) length = form.length;
    }
    if (length == 0) {
      text += u'\uFFFD';
      ++i;
      continue;
    }
    // The lead byte keeps its low 7 - length bits (all 7 for ASCII); each
    // byte after it adds six.
    std::uint32_t c = at(i) % (length == 1 ? 0x80u : 0x80u >> length);
    for (std::size_t k = 1; k < length; ++k) c = c * 64 + (at(i + k) - 0x80);
    if (c < 0x10000) {
      text += static_cast<char16_t>(c);
    } else {
      text += static_cast<char16_t>(0xD800 + (c - 0x10000) / 0x400);
      text += static_cast<char16_t>(0xDC00 + (c - 0x10000) % 0x400);
    }
    i += length;
  }
  return text;
}

// The lines of a file's bytes: a byte-order mark names UTF-16 (either
// order) or UTF-8; without one the text is in the code page of fs. CR, LF
// and CR LF end a line (whole units of them in UTF-16); a last line end
// adds no line. In UTF-16 an odd last byte is U+FFFD.
inline std::vector<ReferenceLine> referenceLines(std::string_view bytes, rt::FileSystem& fs) {
  std::vector<ReferenceLine> lines;
  const bool little = bytes.substr(0, 2) == "\xFF\xFE", big = bytes.substr(0, 2) == "\xFE\xFF";
  if (little || big) {
    bytes.remove_prefix(2);
    std::u16string line;
    bool open = false, afterCr = false;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const auto b0 = static_cast<unsigned char>(bytes[i]), b1 = static_cast<unsigned char>(bytes[i + 1]);
      const auto unit = static_cast<char16_t>(little ? b1 * 256 + b0 : b0 * 256 + b1);
      if (unit == u'\n' && afterCr) {
        afterCr = false;
        continue;
      }
      afterCr = unit == u'\r';
      if (unit == u'\r' || unit == u'\n') {
        lines.push_back({line, 2 * line.size()});
        line.clear();
        open = false;
      } else {
        line += unit;
        open = true;
      }
    }
    if (bytes.size() % 2 != 0) {
      line += u'\uFFFD';
      open = true;
    }
    if (open) lines.push_back({line, 2 * line.size() - (bytes.size() % 2)});
    return lines;
  }
  const bool utf8 = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (utf8) bytes.remove_prefix(3);
  std::size_t start = 0;
  const auto take = [&](std::size_t end) {
    const std::string_view line = bytes.substr(start, end - start);
    std::size_t run = 0, highRun = 0;
    for (const char b : line) highRun = std::max(highRun, run = static_cast<unsigned char>(b) >= 0x80 ? run + 1 : 0);
    lines.push_back({utf8 ? referenceUtf8(line) : fs.decode(line), line.size(), utf8 ? 0 : highRun});
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    take(i);
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) take(bytes.size());
  return lines;
}

// Whether a line holds the text the way a search tests it: an empty line
// holds nothing, every other line holds the empty text.
inline bool referenceHolds(std::u16string_view line, std::u16string_view needle) {
  return !line.empty() && line.find(needle) != std::u16string_view::npos;
}

// "" when the runtime's reader of the file at path (whose bytes are bytes)
// agrees with the reference at limits, else the first difference.
inline std::string readerDiffers(rt::FileSystem& fs, std::u16string_view path, std::string_view bytes,
                                 std::u16string_view needle, rt::LineLimits limits) {
  const std::vector<ReferenceLine> reference = referenceLines(bytes, fs);
  rt::CodePage codePage(fs);
  std::ostringstream difference;
  const auto say = [&](const char* what, std::size_t index, const std::u16string& line) {
    difference << what << " at line " << index << " (" << line.size() << " units):";
    for (const char16_t unit : line) difference << ' ' << std::hex << static_cast<unsigned>(unit) << std::dec;
  };
  // In a double-byte code page a line too long to hold is passed over in
  // pieces that end after an ASCII byte, where no pair can start; a run
  // of more than the longest line without one may be error 7 too.
  const bool doubleByte = fs.decode(std::string(1, '\x81') + 'A').size() == 1;
  // A pipe cannot go back to test a line longer than the longest, which it
  // holds no more, when the text's bytes turn up in it: error 7 too.
  const bool pipe = !fs.open(path, rt::OpenMode::Input)->canSeek();
  const auto cannotPass = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
      if ((doubleByte && reference[i].highRun > limits.maxLine) || (pipe && reference[i].bytes > limits.maxLine))
        return true;
    return false;
  };
  // Reading line by line, then searching: the lines expected, in order,
  // until one too long to hold, which must be error 7.
  const auto check = [&](bool searching) {
    rt::LineReader reader(fs.open(path, rt::OpenMode::Input), codePage, limits);
    // Through every pause, a read that waits let through at once (files of
    // WaitingReads). Every step, one that finds a line too, reads at most
    // one read size (or the two bytes of a UTF-16 unit, where limits make a
    // read smaller).
    bool pausedLate = false;
    const std::size_t oneRead = std::max<std::size_t>(limits.readSize, 2);
    const auto searchOn = [&](std::u16string& line) {
      for (;;) {
        const std::uint64_t before = reader.bytesRead();
        const rt::FileTable::Search step = reader.search(needle, line);
        pausedLate = pausedLate || reader.bytesRead() - before > oneRead;
        if (step == rt::FileTable::Search::Waiting) WaitingReads::letThrough(reader.readSignal());
        else if (step != rt::FileTable::Search::Paused) return step == rt::FileTable::Search::Found;
      }
    };
    const char* const mode = searching ? "search" : "read";
    std::size_t passed = 0;  // lines before this one are done with
    for (std::size_t i = 0; i < reference.size(); ++i) {
      const ReferenceLine& expected = reference[i];
      if (searching && !referenceHolds(expected.text, needle)) continue;
      std::u16string line;
      int error = 0;
      bool got = true;
      try {
        if (searching) got = !reader.atEnd() && searchOn(line);
        else got = !reader.atEnd() && (line = reader.readLine(), true);
      } catch (const rt::Error& e) {
        error = e.number();
      }
      const bool tooLong = expected.bytes > limits.maxLine;
      if (error == rt::err::OutOfMemory && (tooLong || (searching && cannotPass(passed, i + 1)))) return true;
      if (error != 0 || tooLong) {
        difference << mode << ": error " << error << " where ";
        say(tooLong ? "error 7 was due" : "no error was due", i + 1, expected.text);
        return false;
      }
      if (!got || line != expected.text) {
        say(searching ? "search: expected" : "read: expected", i + 1, expected.text);
        difference << (got ? "; got a different line" : "; got none");
        return false;
      }
      passed = i + 1;
    }
    std::u16string extra;
    bool more = false;
    try {
      more = searching ? searchOn(extra) : !reader.atEnd();
    } catch (const rt::Error& e) {
      if (searching && e.number() == rt::err::OutOfMemory && cannotPass(passed, reference.size())) return true;
      difference << mode << ": error " << e.number() << " after the last line";
      return false;
    }
    if (more) {
      difference << mode << ": a line after the last of " << reference.size();
      return false;
    }
    if (pausedLate) difference << "search: a step read more than one read size";
    if (!reader.atEnd()) difference << "search: not at the end after its last line";
    return reader.atEnd() && !pausedLate;
  };
  if (!check(false) || !check(true)) return difference.str();
  return {};
}

}  // namespace testing_support
