#pragma once
// The one error type of the programs: a runtime error number with its text,
// and the system's own code when a system call failed.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace rt {

namespace err {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int InternalError = 51;
inline constexpr int FileNotFound = 53;
inline constexpr int BadFileMode = 54;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIoError = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEndOfFile = 62;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int CantOpenClipboard = 521;
}  // namespace err

// The standard description of a runtime error number.
std::u16string standardDescription(int number);

class Error : public std::runtime_error {
 public:
  explicit Error(int number);
  Error(int number, std::u16string description, std::uint32_t systemCode = 0, std::u16string systemCall = {});

  // The runtime number: what the report names and the exit code carries.
  int number() const noexcept { return number_; }
  const std::u16string& description() const noexcept { return description_; }
  // What the system said when one of its calls failed (Windows' error
  // code, 32 for a sharing violation), or 0 when no system call failed.
  std::uint32_t systemCode() const noexcept { return systemCode_; }
  // The system function, or the operation, that failed with that code:
  // "CreateFileW"; empty when none is named.
  const std::u16string& systemCall() const noexcept { return systemCall_; }

 private:
  int number_;
  std::u16string description_;
  std::uint32_t systemCode_;
  std::u16string systemCall_;
};

// Appends detail to the standard description: "File not found: c:\x.txt".
Error errorWithDetail(int number, std::u16string_view detail, std::uint32_t systemCode = 0,
                      std::u16string_view systemCall = {});

}  // namespace rt
