// Texts for the user in the user's language, for the layers that do without the toolkit: they
// mark a text with Tr() where it is shown (or TR_NOOP() where it is only named), and the
// application points Tr() at its catalogs when it starts. Until then, and in the tests of those
// layers, the English text is the text. The marks are what xgettext extracts (po/).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Gives the translation of an English text, UTF-8.
using Translator = std::string (*)(const char* english);

// The translator Tr() asks; nullptr for English.
inline Translator g_translator = nullptr;

inline std::string Tr(const char* english) {
  return g_translator != nullptr ? g_translator(english) : std::string(english);
}

// Marks a text for translation where it is not yet shown: translated later with Tr().
#define TR_NOOP(english) english

// The text with each "%s" (or "%d") replaced by the next value, in order: a translation can move
// words around its values, and a value is never read as a format.
inline std::string Fill(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  auto next = values.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd') &&
        next != values.end()) {
      out += *next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}
