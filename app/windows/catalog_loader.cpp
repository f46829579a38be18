// The catalogs, the program's and the toolkit's, are resources of the executable (MOFILE
// resources named domain_language), so that the program works from its zip as installed.
#include "app/catalog_loader.h"

wxTranslationsLoader* NewCatalogLoader() {
  return new wxResourceTranslationsLoader;
}
