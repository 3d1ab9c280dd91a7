#include "app/app_test_support.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

RunResult RunWenlotka(const std::string& args) {
  std::string cmd = std::string(WENLOTKA_BINARY) + " " + args +
                    " >.wenlotka-test.out 2>.wenlotka-test.err </dev/null";
  RunResult r;
  int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(".wenlotka-test.out");
  r.err = Slurp(".wenlotka-test.err");
  std::remove(".wenlotka-test.out");
  std::remove(".wenlotka-test.err");
  return r;
}

RunResult RunScript(const std::string& script, const std::string& extraArgs) {
  {
    std::ofstream s(".wenlotka-test.script");
    s << script;
  }
  RunResult r = RunWenlotka("--headless .wenlotka-test.script " + extraArgs);
  std::remove(".wenlotka-test.script");
  return r;
}

int CountLines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}
