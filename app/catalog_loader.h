// Where the catalogs are, in files named for each system.
#pragma once

#include <wx/translation.h>

// A new loader of the program's and the toolkit's catalogs, for wxTranslations to own.
wxTranslationsLoader* NewCatalogLoader();
