#include "runtime/error.h"

#include "runtime/text.h"

namespace rt {

std::u16string standardDescription(int number) {
  switch (number) {
    case err::InvalidProcedureCall: return u"Invalid procedure call or argument";
    case err::OutOfMemory: return u"Out of memory";
    case err::InternalError: return u"Internal error";
    case err::SubscriptOutOfRange: return u"Subscript out of range";
    case err::BadFileNameOrNumber: return u"Bad file name or number";
    case err::FileNotFound: return u"File not found";
    case err::BadFileMode: return u"Bad file mode";
    case err::FileAlreadyOpen: return u"File already open";
    case err::FileAlreadyExists: return u"File already exists";
    case err::DeviceIoError: return u"Device I/O error";
    case err::DiskFull: return u"Disk full";
    case err::InputPastEndOfFile: return u"Input past end of file";
    case err::PathFileAccessError: return u"Path/File access error";
    case err::PathNotFound: return u"Path not found";
    case err::CantOpenClipboard: return u"Can't open clipboard";
    default: return u"Application-defined or object-defined error";
  }
}

Error::Error(int number) : Error(number, standardDescription(number)) {}

Error::Error(int number, std::u16string description, std::uint32_t systemCode, std::u16string systemCall)
    : std::runtime_error(toUtf8(description)),
      number_(number),
      description_(std::move(description)),
      systemCode_(systemCode),
      systemCall_(std::move(systemCall)) {}

Error errorWithDetail(int number, std::u16string_view detail, std::uint32_t systemCode, std::u16string_view systemCall) {
  std::u16string text = standardDescription(number);
  text += u": ";
  text += detail;
  return Error(number, std::move(text), systemCode, std::u16string(systemCall));
}

}  // namespace rt
