#include "app/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "practice/layouts.h"

namespace {

std::string Quoted(const std::string& folder) {
  return "data folder '" + folder + "'";
}

// mkdir -p: each missing part in turn, so a parent that cannot be made is
// the one named in the error.
bool MakeFolders(const std::string& folder, std::string& error) {
  std::size_t at = 0;
  while (at != std::string::npos) {
    at = folder.find('/', at + 1);
    const std::string part = folder.substr(0, at);
    if (part.empty() || part == "." || part == "..") continue;
    struct stat st;
    if (stat(part.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) {
        error = part == folder ? Quoted(folder) + " exists and is not a folder"
                               : Quoted(folder) + ": '" + part + "' exists and is not a folder";
        return false;
      }
      continue;
    }
    if (errno != ENOENT) {
      error = Quoted(folder) + ": " + part + ": " + std::strerror(errno);
      return false;
    }
    // Another process may make it at the same moment; that is fine.
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      error = Quoted(folder) + ": cannot create '" + part + "': " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

// Whether `path` names the working directory itself.
bool IsWorkingDirectory(const std::string& path) {
  struct stat here, there;
  return stat(".", &here) == 0 && stat(path.c_str(), &there) == 0 && here.st_dev == there.st_dev &&
         here.st_ino == there.st_ino;
}

}  // namespace

bool ChooseDataFolder(StartKind kind, const std::string& dataDir, bool xdgData, DataFolder* folder,
                      std::string* error) {
  folder->byOption = xdgData || !dataDir.empty();
  if (!dataDir.empty()) {
    folder->path = dataDir;
  } else if (xdgData || kind != StartKind::Headless) {
    folder->path = XdgDataFolder(*error);
    if (folder->path.empty()) return false;
  } else {
    folder->path = ".";
  }
  folder->workingDirectory = IsWorkingDirectory(folder->path);
  return true;
}

std::string XdgDataFolder(std::string& error) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/wenlotka";
  const char* home = std::getenv("HOME");
  std::string base = home != nullptr ? home : "";
  if (base.empty() || base[0] != '/') {
    const passwd* pw = getpwuid(getuid());
    base = pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
  }
  if (base.empty() || base[0] != '/') {
    error =
        "no data folder: neither XDG_DATA_HOME nor HOME names an absolute folder (choose one "
        "with --data-dir DIR)";
    return "";
  }
  return base + "/.local/share/wenlotka";
}

std::string AbsoluteFrom(const std::string& base, const std::string& path) {
  if (path.empty() || path == "-" || path[0] == '/' || base.empty()) return path;
  return base + "/" + path;
}

std::string CurrentFolder() {
  char* cwd = getcwd(nullptr, 0);
  if (cwd == nullptr) return "";
  std::string r = cwd;
  std::free(cwd);
  return r;
}

std::vector<std::string> GameFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (int layout = 0; layout < KeyboardLayoutCount; ++layout) {
    GameGlobals g;
    SelectKeyboardLayout(g, layout);
    const std::string stem = g.fileStem;
    for (const char* end : {".rec", ".log", ".spd", ".keys", ".runs"}) {
      // The practice log is shared by every layout.
      if (std::strcmp(end, ".log") == 0 && layout != QwertyLayout) continue;
      struct stat st;
      if (lstat((folder + "/" + stem + end).c_str(), &st) == 0) names.push_back(stem + end);
    }
  }
  return names;
}

bool SettleDataFolder(StartKind kind, const DataFolder& folder, std::ostream& err,
                      std::string* error) {
  if (!folder.workingDirectory) {
    const std::vector<std::string> here = GameFilesIn(".");
    if (!here.empty()) {
      err << "wenlotka: leaving ";
      for (std::size_t i = 0; i < here.size(); ++i) err << (i == 0 ? "" : ", ") << here[i];
      err << " in this folder alone; the game's files are in " << folder.path
          << " (start it with --data-dir . to use these instead)\n";
    }
  }
  // A report changes nothing, and a script without a folder of its own
  // plays where it was started.
  if (kind == StartKind::Report) return true;
  if (kind == StartKind::Headless && !folder.byOption) return true;
  return EnterDataFolder(folder.path, *error);
}

bool EnterDataFolder(const std::string& folder, std::string& error) {
  if (folder.empty()) {
    error = "the data folder must not be empty";
    return false;
  }
  if (!MakeFolders(folder, error)) return false;
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = Quoted(folder) + " is not a folder";
    return false;
  }
  // The save writes a new file beside the old one and renames it: that needs
  // write and search permission on the folder itself. Finding out now beats
  // losing a whole session's records at exit.
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    error = Quoted(folder) + " is not writable: " + std::strerror(errno);
    return false;
  }
  if (chdir(folder.c_str()) != 0) {
    error = Quoted(folder) + ": " + std::strerror(errno);
    return false;
  }
  return true;
}
