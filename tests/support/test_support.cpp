#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/cp932.h"

std::string RecordingDC::AllText() const {
  std::string s;
  for (const Text& t : texts) s += t.bytes;
  return s;
}

ScratchDir::ScratchDir() {
  char buf[4096];
  if (getcwd(buf, sizeof buf) == nullptr) throw std::runtime_error("getcwd failed");
  previous_ = buf;
  std::string tmpl = (std::filesystem::temp_directory_path() / "wenlotka-test-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
  if (chdir(path_.c_str()) != 0) throw std::runtime_error("chdir failed");
}

ScratchDir::~ScratchDir() {
  if (chdir(previous_.c_str()) != 0) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ScratchDir::ReadFile(const std::string& name) const {
  std::ifstream in(path_ + "/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void ScratchDir::WriteFile(const std::string& name, const std::string& bytes) const {
  std::ofstream out(path_ + "/" + name, std::ios::binary);
  out << bytes;
}

bool ScratchDir::Exists(const std::string& name) const {
  return std::filesystem::exists(path_ + "/" + name);
}

void InitGlobals(GameGlobals& g, const Clock* clock, int width, int height) {
  g = GameGlobals{};
  g.ClientRect = Rect{0, 0, width, height};
  g.clock = clock;
}

std::string Sjis(const char* utf8) {
  return Utf8ToCp932(utf8);
}
