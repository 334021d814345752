#include "devinfo/message_texts.h"

#include <algorithm>
#include <iterator>

namespace ikw {

std::u16string_view BuiltInText(unsigned id) {
    const auto found = std::find_if(std::begin(kMessageTexts), std::end(kMessageTexts),
                                    [id](const MessageText& text) { return text.id == id; });
    return found == std::end(kMessageTexts) ? std::u16string_view() : std::u16string_view(found->english);
}

std::u16string FillPlaceholders(std::u16string_view text, std::initializer_list<std::u16string_view> args) {
    std::u16string filled;
    filled.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool placeholder = text[at] == u'%' && at + 1 < text.size() && text[at + 1] >= u'1' &&
                                 text[at + 1] <= u'9' && static_cast<std::size_t>(text[at + 1] - u'0') <= args.size();
        if (!placeholder) {
            filled += text[at];
            continue;
        }
        filled += *(args.begin() + (text[at + 1] - u'1'));
        ++at;
    }
    return filled;
}

std::u16string ComposeMessage(StringTable& strings, unsigned id, std::initializer_list<std::u16string_view> args) {
    std::u16string text = strings.Load(id);
    if (text.empty())
        text = BuiltInText(id);
    return FillPlaceholders(text, args);
}

std::u16string BuiltInEnglish::Load(unsigned id) { return std::u16string(BuiltInText(id)); }

}  // namespace ikw
