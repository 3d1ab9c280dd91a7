// Runs the real wenlotka binary on a script in the current directory.
#pragma once

#include <string>

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Writes `script` to a file and runs `wenlotka --headless FILE <extraArgs>`.
RunResult RunScript(const std::string& script, const std::string& extraArgs = "--clock 1000000000");
RunResult RunWenlotka(const std::string& args);
int CountLines(const std::string& text);
