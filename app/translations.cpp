#include "app/translations.h"

#include <wx/arrstr.h>
#include <wx/translation.h>
#include <wx/uilocale.h>

#include <clocale>
#include <string>

#include "app/catalog_loader.h"
#include "i18n/translate.h"

namespace {

constexpr const char* kDomain = "tobrin";

wxString g_language;  // of the program's catalog in use; empty for English

std::string Translate(const char* english) {
  return std::string(wxGetTranslation(wxString::FromUTF8(english)).utf8_str());
}

// The language of the catalog the toolkit loaded: the best one for the user ("de_DE", say), or
// the catalog of its language without the region ("de") that it falls back on.
wxString LoadedLanguage(wxTranslations& translations) {
  const wxArrayString available = translations.GetAvailableTranslations(kDomain);
  const wxString best = translations.GetBestTranslation(kDomain);
  for (const wxString& language : {best, best.BeforeFirst('_')}) {
    const int found = available.Index(language, /*bCase=*/false);
    if (found != wxNOT_FOUND) return available[found];
  }
  return wxString();
}

}  // namespace

void UseTheUsersLanguage() {
  wxUILocale::UseDefault();
  // Numbers stay in the C library's own form: the program shows none with a decimal point, and
  // what it and its libraries read from text expects one.
  std::setlocale(LC_NUMERIC, "C");
  auto* translations = new wxTranslations;
  wxTranslations::Set(translations);  // the toolkit's from now on
  translations->SetLoader(NewCatalogLoader());
  translations->AddStdCatalog();
  translations->AddCatalog(kDomain);
  g_language = translations->IsLoaded(kDomain) ? LoadedLanguage(*translations) : "";
  g_translator = &Translate;
}

void ForgetTheCatalogs() {
  g_language.clear();
  g_translator = nullptr;
  wxTranslations::Set(nullptr);
}

wxString CatalogLanguage() {
  return g_language;
}
