// CP932 (Shift-JIS as Windows has it) <-> UTF-8 and Unicode.
//
// Callers: the window (typed text to character messages), the headless script
// (`type`), the text painter (decoding for the Japanese UI face), the report.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Characters outside CP932 (emoji, say) are dropped.
std::string Utf8ToCp932(std::string_view utf8);
// Invalid bytes become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
// Decodes one or more whole characters; nullopt when any byte sequence is invalid.
std::optional<std::u32string> Cp932ToUnicode(std::string_view cp932);
