#pragma once

#include <string>
#include <vector>

/// Turns an English text of a context into the user's language; the application installs one.
using Translator = std::string (*)(const char* context, const char* english);

/// Installs the translator for the texts of the Qt-free core. Without one the English stays.
void SetTranslator(Translator translator);

/// The core's way to say a text: the English as written, or its translation. Marked for the
/// translation tools like QCoreApplication::translate.
std::string Tr(const char* context, const char* english);

/// text with %1 to %9 replaced by the arguments, wherever a translation places them.
std::string Arg(const std::string& text, const std::vector<std::string>& args);
