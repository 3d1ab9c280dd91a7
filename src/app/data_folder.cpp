#include "app/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

}  // namespace

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
    error = "no data folder: neither XDG_DATA_HOME nor HOME names an absolute folder";
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
