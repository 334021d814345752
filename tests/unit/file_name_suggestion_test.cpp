#include <gtest/gtest.h>

#include "devinfo/file_name_suggestion.h"

namespace ikw {
namespace {

TEST(SuggestFileName, KeepsTheFileNameComponentOfTheDeviceName) {
    struct Case {
        std::u16string deviceName;
        std::u16string expected;
    };
    const std::u16string a259(259, u'a');
    const std::u16string a260(260, u'a');
    const Case cases[] = {
        {u"Label.Printer", u"Label"},
        {u"Office Laser", u"Office Laser"},
        {u"", u""},
        // Only the last dot starts the extension.
        {u"a.b.c", u"a.b"},
        {u"Printer.", u"Printer"},
        {u".hidden", u""},
        // Network printers: the queue name alone; dots in the server name do not count.
        {u"\\\\server\\queue.x", u"queue"},
        {u"\\\\print.example.com\\Office Laser", u"Office Laser"},
        {u"\\\\server\\", u""},
        // Drives, and both kinds of separator, whichever comes last.
        {u"C:Printer.x", u"Printer"},
        {u"C:\\dir\\name.ext", u"name"},
        {u"1:abc", u"abc"},
        {u"x:", u""},
        {u"dir/sub/name.x", u"name"},
        {u"dir.x/name", u"name"},
        {u"a/b\\c.d", u"c"},
        {u"a\\b/c.d", u"c"},
        {u"\u30e9\u30d9\u30eb.\u30d7\u30ea\u30f3\u30bf", u"\u30e9\u30d9\u30eb"},
        // The split writes the name into 260 units with its terminator.
        {a259, a259},
        {a259 + u".x", a259},
        {u"\\\\server\\" + a259 + u".x", a259},
        {a260, u""},
        {a260 + u".x", u""},
        {u"\\\\server\\" + a260, u""},
        // A long directory or extension does not matter, only the name does.
        {a260 + u"\\q.x", u"q"},
        {u"q." + a260, u"q"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SuggestFileName(c.deviceName), c.expected) << "device name of " << c.deviceName.size() << " units";
}

// Windows opens a device for these names in any folder, with any extension.
TEST(IsDeviceName, ThePartBeforeTheFirstDotWithoutItsEndingSpacesDecides) {
    const struct {
        std::u16string name;
        bool device;
    } cases[] = {
        {u"NUL", true},       {u"nul.dev", true},     {u"NUL.x.dev", true},      {u"COM1.x.dev", true},
        {u"lpt9", true},      {u"AUX .a.b", true},    {u"Con  ", true},          {u"PRN.", true},
        {u"CONIN$", true},    {u"conout$.dev", true}, {u"COM\u00b9", true},      {u"LPT\u00b3.dev", true},
        {u"COM0.dev", false}, {u"COM10.dev", false},  {u"COM\u2074.dev", false}, {u"NULL.dev", false},
        {u" NUL.dev", false}, {u"x.NUL", false},      {u"CON1", false},          {u"CONIN", false},
        {u"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        EXPECT_EQ(IsDeviceName(c.name), c.device);
    }
}

}  // namespace
}  // namespace ikw
