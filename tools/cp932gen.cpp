// Turns a UTF-8 text table into a header of CP932 byte strings.
//
// Input lines:  NAME<TAB>text              -> inline constexpr char NAME[]
//               NAME[]<TAB>t1<TAB>t2 ...   -> inline constexpr const char* NAME[]
// Blank lines and lines starting with '#' are ignored; "\n" and "\\" in a text
// are escapes. Every text must convert whole: a character outside CP932 stops
// the build instead of silently vanishing from the game.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool ToCp932(const std::string& utf8, std::string& out) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = utf8;
  out.assign(in.size() * 2 + 4, '\0');
  char* src = in.data();
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return false;
  out.resize(out.size() - dstLeft);
  return true;
}

std::string Unescape(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      if (s[i + 1] == 'n') {
        r += '\n';
        ++i;
        continue;
      }
      if (s[i + 1] == '\\') {
        r += '\\';
        ++i;
        continue;
      }
    }
    r += s[i];
  }
  return r;
}

std::string Literal(const std::string& bytes) {
  std::string r = "\"";
  char buf[8];
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      r += '\\';
      r += static_cast<char>(c);
    } else if (c == '\n') {
      r += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      r += buf;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r + "\"";
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : line) {
    if (c == '\t') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: cp932gen INPUT.txt OUTPUT.h\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  std::ostringstream out;
  out << "// Generated from " << argv[1]
      << " by cp932gen. Do not edit.\n#pragma once\n\nnamespace sjis {\n";
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> parts = SplitTabs(line);
    if (parts.size() < 2) {
      std::cerr << argv[1] << ":" << lineNo << ": expected NAME<TAB>text\n";
      return 1;
    }
    std::string name = parts[0];
    bool isArray = name.size() > 2 && name.compare(name.size() - 2, 2, "[]") == 0;
    std::vector<std::string> literals;
    for (size_t i = 1; i < parts.size(); ++i) {
      std::string bytes;
      if (!ToCp932(Unescape(parts[i]), bytes)) {
        std::cerr << argv[1] << ":" << lineNo << ": text does not convert to CP932\n";
        return 1;
      }
      literals.push_back(Literal(bytes));
    }
    if (isArray) {
      name.resize(name.size() - 2);
      out << "inline constexpr const char* " << name << "[] = {\n";
      for (const std::string& l : literals) out << "    " << l << ",\n";
      out << "};\n";
    } else {
      if (literals.size() != 1) {
        std::cerr << argv[1] << ":" << lineNo << ": a single text takes one field\n";
        return 1;
      }
      out << "inline constexpr char " << name << "[] = " << literals[0] << ";\n";
    }
  }
  out << "\n}  // namespace sjis\n";
  std::ofstream o(argv[2]);
  o << out.str();
  return o ? 0 : 1;
}
