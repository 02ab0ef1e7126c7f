#pragma once
// The formats that a passing clipboard text (Clipboard::Entry::Passing)
// carries beside it, by their registered names, each holding a 32-bit 0.
// Every backend, and every tool that reads the clipboard as the programs
// leave it, uses these names.
#include <string_view>

namespace rt {

// These programs' own. While it is there, the clipboard still holds a
// passing text of theirs; that is decided by this format alone, since any
// program may set the others (a password manager marks each secret it
// copies with the first of them).
inline constexpr std::u16string_view kOwnPassingFormat = u"MacAddressTools.PassingText";

// "Cloud Clipboard and Clipboard History Formats": clipboard history,
// cloud sync and clipboard managers that honour them pass the content
// over. Elsewhere they are just formats.
inline constexpr std::u16string_view kPassOverFormats[] = {
    u"ExcludeClipboardContentFromMonitorProcessing", u"CanIncludeInClipboardHistory", u"CanUploadToCloudClipboard"};

}  // namespace rt
