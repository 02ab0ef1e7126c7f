#include "rooted_file_system.h"

#include <array>
#include <fstream>

#include "runtime/error.h"
#include "runtime/text.h"

namespace rt {
namespace {

namespace fs = std::filesystem;

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to C1 controls
// as Windows maps them.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class StreamFile : public File {
 public:
  StreamFile(std::filebuf buf, fs::path path) : buf_(std::move(buf)), path_(std::move(path)) {}
  std::size_t read(char* buffer, std::size_t size) override {
    return static_cast<std::size_t>(buf_.sgetn(buffer, static_cast<std::streamsize>(size)));
  }
  void seek(std::uint64_t offset) override {
    if (buf_.pubseekpos(static_cast<std::streamoff>(offset), std::ios::in) == std::streampos(-1))
      throw Error(err::DeviceIoError);
  }
  void write(std::string_view bytes) override {
    const auto n = buf_.sputn(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(n) != bytes.size() || buf_.pubsync() != 0) throw Error(err::DeviceIoError);
  }
  std::uint64_t size() override {
    std::error_code ec;
    const auto size = buf_.pubsync() == 0 ? fs::file_size(path_, ec) : 0;
    if (ec) throw Error(err::DeviceIoError);
    return size;
  }
  void truncate(std::uint64_t size) override {
    std::error_code ec;
    if (buf_.pubsync() == 0) fs::resize_file(path_, size, ec);
    if (ec) throw Error(err::DeviceIoError);
  }
  void drop() noexcept override { buf_.close(); }

 private:
  std::filebuf buf_;
  fs::path path_;
};

}  // namespace

RootedFileSystem::RootedFileSystem(fs::path root) : root_(std::move(root)) {}

fs::path RootedFileSystem::hostPath(std::u16string_view path) const {
  try {
    return hostPathOf(path);
  } catch (const fs::filesystem_error&) {
    // A lone surrogate has no host name; on Windows no such file exists either.
    throw errorWithDetail(err::BadFileNameOrNumber, path);
  }
}

fs::path RootedFileSystem::hostPathOf(std::u16string_view path) const {
  std::u16string rest(path);
  std::u16string drive = u"c";
  if (rest.size() >= 2 && rest[1] == u':') {
    drive = std::u16string(1, static_cast<char16_t>(rest[0] | 0x20));
    rest.erase(0, 2);
  }
  fs::path host = root_ / fs::path(drive);
  for (const std::u16string& part : split(rest, u"\\"))
    if (!part.empty()) host /= fs::path(part);
  return host;
}

std::unique_ptr<File> RootedFileSystem::openFile(std::u16string_view path, OpenMode mode) {
  const fs::path host = hostPath(path);
  std::error_code ec;
  if (path.empty() || path.find_first_of(u"*?\"<>|") != std::u16string_view::npos)
    throw errorWithDetail(err::BadFileNameOrNumber, path);
  if (!fs::is_directory(host.parent_path(), ec)) throw errorWithDetail(err::PathNotFound, path);
  if (fs::is_directory(host, ec)) throw errorWithDetail(err::PathFileAccessError, path);
  if (mode == OpenMode::Input && !fs::exists(host, ec)) throw errorWithDetail(err::FileNotFound, path);
  // A name whose delete is pending opens for no one: Windows' access denied.
  const Holder* holder = holderOf(host);
  if (holder && holder->deletePending)
    throw errorWithDetail(mode == OpenMode::NewOutput ? err::FileAlreadyExists : err::PathFileAccessError, path, 5);
  if (mode == OpenMode::NewOutput && fs::exists(host, ec)) throw errorWithDetail(err::FileAlreadyExists, path, 80);
  const auto how = mode == OpenMode::Input    ? std::ios::in
                   : mode == OpenMode::Append ? std::ios::in | std::ios::app  // reads its last byte
                                              : std::ios::out | std::ios::trunc;
  std::filebuf buf;
  if (!buf.open(host, how | std::ios::binary)) throw errorWithDetail(err::PathFileAccessError, path);
  return std::make_unique<StreamFile>(std::move(buf), host);
}

RootedFileSystem::Holder* RootedFileSystem::holderOf(const fs::path& host) {
  for (Holder& holder : holders_)
    if (holder.host == host) return &holder;
  return nullptr;
}

bool RootedFileSystem::heldAgainstDelete(const fs::path& host, bool wait) {
  const auto against = [&] {
    const Holder* holder = holderOf(host);
    return holder && !holder->sharesDelete;
  };
  if (!against() || !wait || !whileWaiting) return against();
  whileWaiting();
  return against();
}

void RootedFileSystem::removeFile(std::u16string_view path, bool waitForHolder) {
  const fs::path host = hostPath(path);
  if (heldAgainstDelete(host, waitForHolder)) throw errorWithDetail(err::PathFileAccessError, path, kSharingViolation);
  if (Holder* holder = holderOf(host)) {
    holder->deletePending = true;  // the file goes when its holder lets go
    return;
  }
  std::error_code ec;
  fs::remove(host, ec);
  if (ec && ec != std::errc::no_such_file_or_directory) throw errorWithDetail(err::PathFileAccessError, path);
}

void RootedFileSystem::renameFile(std::u16string_view from, std::u16string_view to) {
  const fs::path source = hostPath(from), target = hostPath(to);
  std::error_code ec;
  if (!fs::exists(source, ec)) throw errorWithDetail(err::FileNotFound, from);
  if (const Holder* holder = holderOf(target); holder && holder->deletePending)
    throw errorWithDetail(err::FileAlreadyExists, to, 5);
  if (fs::exists(target, ec)) throw errorWithDetail(err::FileAlreadyExists, to, 183);
  if (heldAgainstDelete(source, true)) throw errorWithDetail(err::PathFileAccessError, from, kSharingViolation);
  fs::rename(source, target, ec);
  if (ec) throw errorWithDetail(err::PathFileAccessError, from);
  if (Holder* holder = holderOf(source)) holder->host = target;  // the handle follows its file
}

std::vector<std::u16string> RootedFileSystem::namesIn(std::u16string_view folder, std::u16string_view prefix,
                                                      std::u16string_view suffix) {
  std::vector<std::u16string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(hostPath(folder), ec)) {
    if (!entry.is_regular_file(ec)) continue;
    std::u16string name = entry.path().filename().u16string();
    if (hasEndsIgnoringCase(name, prefix, suffix)) names.push_back(std::move(name));
  }
  return names;
}

std::unique_ptr<RootedFileSystem::Hold> RootedFileSystem::hold(std::u16string_view path, bool sharesDelete) {
  holders_.push_back(Holder{hostPath(path), sharesDelete});
  return std::unique_ptr<Hold>(new Hold(*this, std::prev(holders_.end())));
}

RootedFileSystem::Hold::~Hold() {
  if (holder_->deletePending) {
    std::error_code ec;
    fs::remove(holder_->host, ec);
  }
  files_.holders_.erase(holder_);
}

std::string RootedFileSystem::encode(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
      out += static_cast<char>(c);
      continue;
    }
    char byte = '?';
    for (std::size_t i = 0; i < kHigh.size(); ++i)
      if (kHigh[i] == c) byte = static_cast<char>(0x80 + i);
    out += byte;
  }
  return out;
}

std::u16string RootedFileSystem::decode(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::uint64_t RootedFileSystem::sizeOf(std::u16string_view path) noexcept {
  try {
    std::error_code ec;
    const auto size = std::filesystem::file_size(hostPathOf(path), ec);
    return ec ? 0 : size;
  } catch (...) {
    return 0;  // no host path (error 52), or no memory for one
  }
}

}  // namespace rt
