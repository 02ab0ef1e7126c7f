#pragma once
// A model of how cmd reads one line of a batch file that holds a `set`
// command, with delayed expansion off (cmd's default) or on (a caller's
// setlocal EnableDelayedExpansion): a line holding "!" reads differently
// under the two and counts as read otherwise. First %% becomes %
// and %name% is expanded; then outside double quotes ^ takes the next
// character literally and & | < > ( ) would start something else. cmd reads
// no line longer than 8,191 characters, reads the bytes in the console's
// code page (so only ASCII means the same in every one), and treats some
// control characters specially. Returns what the line sets its variable
// to, or nothing when the line would expand a variable, run or redirect
// anything, is not a plain `set NAME=` line, or could be read otherwise.
#include <optional>
#include <string>
#include <string_view>

namespace cmd_model {

inline std::optional<std::u16string> valueSetBy(std::u16string_view line, std::u16string_view name) {
  if (line.size() > 8191) return std::nullopt;
  std::u16string expanded;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char16_t c = line[i];
    if ((c < u' ' && c != u'\t') || c > u'~' || c == u'!') return std::nullopt;
    if (c != u'%') {
      expanded += c;
      continue;
    }
    if (i + 1 < line.size() && line[i + 1] == u'%') {
      expanded += u'%';
      ++i;
      continue;
    }
    return std::nullopt;  // a variable reference, or a lone % that cmd drops
  }
  std::u16string command;
  bool quoted = false;
  for (std::size_t i = 0; i < expanded.size(); ++i) {
    const char16_t c = expanded[i];
    if (c == u'"') quoted = !quoted;
    if (!quoted && c == u'^') {
      if (++i == expanded.size()) return std::nullopt;  // a line continuation
      command += expanded[i];
      continue;
    }
    if (!quoted && std::u16string_view(u"&|<>()").find(c) != std::u16string_view::npos) return std::nullopt;
    command += c;
  }
  const std::u16string prefix = u"set " + std::u16string(name) + u"=";
  if (command.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  return command.substr(prefix.size());
}

}  // namespace cmd_model
