#include "Words.h"

#include <atomic>

namespace {
std::atomic<Translator> g_translator{nullptr};
} // namespace

void SetTranslator(Translator translator)
{
    g_translator = translator;
}

std::string Tr(const char* context, const char* english)
{
    const Translator translator = g_translator;
    return translator ? translator(context, english) : std::string(english);
}

std::string Arg(const std::string& text, const std::vector<std::string>& args)
{
    // One pass, so that an argument holding "%2" (a user's text) is never taken for a marker.
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '0') : 0;
        if (text[i] == '%' && n >= 1 && n <= args.size()) {
            out += args[n - 1];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
