// The user's language. The program's texts, the toolkit's and GTK's own follow the system's
// choice (LANGUAGE, LC_ALL, LC_MESSAGES and LANG on Linux; the display language on Windows)
// where a catalog for it was built with the program; any other language is English, silently.
#pragma once

#include <wx/string.h>

// Sets the program's locale and loads the catalogs: the toolkit's, and the program's own, which
// the layers without the toolkit reach through Tr() as well. Called first in main, before the
// toolkit starts, so that even the messages before there is a window are in the user's
// language.
void UseTheUsersLanguage();

// Lets go of the catalogs, where the program ends without the toolkit's end, which would.
void ForgetTheCatalogs();

// The language of the program's catalog in use ("de", "zh_CN"), or "" when that is English.
wxString CatalogLanguage();
