#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace {

// iconv's "CP932" keeps 0x5C a backslash and knows the vendor rows; "SHIFT_JIS"
// would turn 0x5C into a yen sign and reject characters the game uses.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Converts one character at a time from `in`, calling onBad for each input
// sequence that cannot be converted; returns false if conversion is impossible.
template <typename OnBad>
bool Convert(const Converter& cv, std::string_view in, std::string& out, OnBad onBad) {
  if (!cv.ok()) return false;
  iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
  std::string src(in);
  char* inPtr = src.data();
  size_t inLeft = src.size();
  char buf[256];
  while (inLeft > 0) {
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    size_t r = iconv(cv.get(), &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buf, static_cast<size_t>(outPtr - buf));
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (a truncated sequence at the end).
    if (!onBad(inPtr, inLeft, out)) return false;
  }
  return true;
}

size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  static thread_local Converter cv("CP932", "UTF-8");
  std::string out;
  Convert(cv, utf8, out, [](char*& p, size_t& left, std::string&) {
    size_t n = Utf8Length(static_cast<unsigned char>(*p));
    if (n > left) n = left;
    p += n;
    left -= n;
    return true;
  });
  return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  static thread_local Converter cv("UTF-8", "CP932");
  std::string out;
  Convert(cv, cp932, out, [](char*& p, size_t& left, std::string& o) {
    unsigned char c = static_cast<unsigned char>(*p);
    size_t n = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && left >= 2 ? 2 : 1;
    p += n;
    left -= n;
    o += "\xEF\xBF\xBD";
    return true;
  });
  return out;
}

std::optional<std::u32string> Cp932ToUnicode(std::string_view cp932) {
  static thread_local Converter cv("UTF-32LE", "CP932");
  std::string raw;
  if (!Convert(cv, cp932, raw, [](char*&, size_t&, std::string&) { return false; })) {
    return std::nullopt;
  }
  std::u32string r;
  for (size_t i = 0; i + 3 < raw.size(); i += 4) {
    char32_t c = static_cast<unsigned char>(raw[i]) |
                 (static_cast<char32_t>(static_cast<unsigned char>(raw[i + 1])) << 8) |
                 (static_cast<char32_t>(static_cast<unsigned char>(raw[i + 2])) << 16) |
                 (static_cast<char32_t>(static_cast<unsigned char>(raw[i + 3])) << 24);
    r.push_back(c);
  }
  return r;
}
