#include "dialog/opened_file_title.h"

#include "devinfo/file_name_suggestion.h"

namespace ikw {

std::u16string TitleWithOpenedFile(const std::u16string& title, const std::u16string& openedFile) {
    if (openedFile.empty())
        return title;
    return title + u" - " + openedFile.substr(FileNameStart(openedFile));
}

}  // namespace ikw
