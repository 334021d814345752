#include <gtest/gtest.h>

#include <set>

#include "devinfo/message_texts.h"
#include "fake_string_table.h"

namespace ikw {
namespace {

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(FillPlaceholders, FillsEachPlaceholderOnceAndLeavesTheRest) {
    const struct {
        const char* name;
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {"in order", u"(%1) :%2", u"(Office) :C:\\a.dev"},
        {"in another order, one twice", u"%2 / %1 / %2", u"C:\\a.dev / Office / C:\\a.dev"},
        // A path or printer may hold a placeholder itself: it is not read again.
        {"arguments are not read for placeholders", u"%3%1", u"%1%2Office"},
        {"no argument for it", u"%1 %4", u"Office %4"},
        {"a percent sign that is no placeholder", u"100% %0 %", u"100% %0 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Narrow(FillPlaceholders(c.text, {u"Office", u"C:\\a.dev", u"%1%2"})), Narrow(c.expected));
    }
}

TEST(ComposeMessage, TakesTheInterfaceLanguagesTemplateAndFallsBackToTheBuiltInEnglish) {
    test_support::FakeStringTable japanese;
    // The printer's name comes first in this Japanese template, the path
    // last, as in the English one; the reason of the other template comes
    // after the path.
    japanese.table[IDS_PRINTER_NOT_INSTALLED] = u"プリンターがインストールされていません (%1) :%2";
    japanese.table[IDS_NOT_DEVICE_INFO] = u"%2 は使えません: %1";
    EXPECT_EQ(ComposeMessage(japanese, IDS_PRINTER_NOT_INSTALLED, {u"Office", u"C:\\%2.dev"}),
              u"プリンターがインストールされていません (Office) :C:\\%2.dev");
    EXPECT_EQ(ComposeMessage(japanese, IDS_NOT_DEVICE_INFO, {u"reason %2", u"C:\\a.dev"}),
              u"C:\\a.dev は使えません: reason %2");

    // A string the resources lack: the English text, never an empty box.
    EXPECT_EQ(Narrow(ComposeMessage(japanese, IDS_NOW_DEFAULT, {u"Office"})), "Office is now the default printer.");
    test_support::FakeStringTable empty;
    for (const MessageText& text : kMessageTexts)
        EXPECT_FALSE(ComposeMessage(empty, text.id).empty()) << text.id;
}

TEST(MessageTexts, EachIdOnceWithItsEnglishText) {
    std::set<unsigned> ids;
    for (const MessageText& text : kMessageTexts) {
        EXPECT_TRUE(ids.insert(text.id).second) << text.id << " twice";
        EXPECT_EQ(BuiltInText(text.id), text.english);
    }
    EXPECT_TRUE(BuiltInText(IDS_DEVICE_INFO_FILTER).empty()) << "no message";
}

}  // namespace
}  // namespace ikw
