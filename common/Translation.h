// The language file: form and control texts (ApplyTranslation) and message texts
// (LangMessage), chosen by the value "Language" of the program's registry key.
#pragma once

#include <string>

// The language file named in the registry, or "" when there is none or it doesn't exist.
std::string GetLanguageFile();
// Applies the file to every open form (and the application title); does nothing unless
// [Info] CheckValid is non-zero.
void ApplyTranslation(const std::string &LanguageFile);
// [Messages] Key of the chosen language file, or Default when it has no text for the key.
std::string LangMessage(const std::string &Key, const std::string &Default);

// Components with this tag keep their texts: they hold data, not words.
inline constexpr int TranslationSkipTag = 255;
