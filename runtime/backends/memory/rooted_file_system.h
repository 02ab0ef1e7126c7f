#pragma once
// Real files for the in-memory backend: Windows paths are laid under a root
// folder ("c:\temp\x.txt" is root/c/temp/x.txt; a path without a drive is on
// drive c), and the system code page is Windows-1252.
#include <filesystem>
#include <functional>
#include <list>

#include "runtime/file_system.h"

namespace rt {

class RootedFileSystem : public FileSystem {
  struct Holder {
    std::filesystem::path host;
    bool sharesDelete;
    bool deletePending = false;
  };

 public:
  explicit RootedFileSystem(std::filesystem::path root);

  std::string encode(std::u16string_view text) override;
  std::u16string decode(std::string_view bytes) override;
  std::uint64_t sizeOf(std::u16string_view path) noexcept override;

  std::vector<std::u16string> namesIn(std::u16string_view folder, std::u16string_view prefix,
                                      std::u16string_view suffix) override;

  // Another program's handle on a file, as Windows keeps one, until the
  // Hold ends. A holder that does not let others delete makes a delete or
  // a rename of the file a sharing violation. One that does lets both
  // happen, but a deleted file keeps its name while held: opening that
  // name is refused (access denied), renaming the file is allowed, and it
  // goes when the holder lets go.
  class Hold {
   public:
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    friend class RootedFileSystem;
    Hold(RootedFileSystem& files, std::list<Holder>::iterator holder) : files_(files), holder_(holder) {}
    RootedFileSystem& files_;
    std::list<Holder>::iterator holder_;
  };
  std::unique_ptr<Hold> hold(std::u16string_view path, bool sharesDelete);
  // Runs when a delete or a rename meets a holder that does not let others
  // delete, as the time the Windows backend waits for one passes; the
  // operation is tried once more after it.
  std::function<void()> whileWaiting;

  // Where a Windows path lies on the host; error 52 when it has none.
  std::filesystem::path hostPath(std::u16string_view path) const;
  const std::filesystem::path& root() const { return root_; }

 protected:
  std::unique_ptr<File> openFile(std::u16string_view path, OpenMode mode) override;
  void removeFile(std::u16string_view path, bool waitForHolder) override;
  void renameFile(std::u16string_view from, std::u16string_view to) override;

 private:
  std::filesystem::path hostPathOf(std::u16string_view path) const;
  Holder* holderOf(const std::filesystem::path& host);
  // The holder of host that lets no one delete, after the wait when asked.
  bool heldAgainstDelete(const std::filesystem::path& host, bool wait);

  std::filesystem::path root_;
  std::list<Holder> holders_;
};

}  // namespace rt
