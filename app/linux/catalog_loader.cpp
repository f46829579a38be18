// The catalogs as files: the program's beside the executable in the build tree (locale/) or
// under its installation prefix (share/locale), the toolkit's where Debian installs them.
#include <limits.h>
#include <unistd.h>

#include <string>

#include "app/catalog_loader.h"

namespace {

// The folder of the running executable (the toolkit's own way to ask needs the application
// object, and the catalogs are loaded before it exists).
std::string ExecutableFolder() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  const std::string exe(path, static_cast<size_t>(length));
  return exe.substr(0, exe.find_last_of('/'));
}

}  // namespace

wxTranslationsLoader* NewCatalogLoader() {
  const std::string folder = ExecutableFolder();
  wxFileTranslationsLoader::AddCatalogLookupPathPrefix(folder + "/locale");
  wxFileTranslationsLoader::AddCatalogLookupPathPrefix(folder + "/../share/locale");
  return new wxFileTranslationsLoader;
}
