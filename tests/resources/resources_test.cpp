// Reads the resources back from the built executables, through the same
// Win32 calls the window system and the file-properties page use, so a
// resource that compiles but does not load the way the program expects fails
// here.
//
// Usage: resources_test WIN64_EXE WIN32_EXE APP_ICON_ICO WIN64_INSPECTOR WIN32_INSPECTOR [gtest options]
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "devinfo/message_texts.h"
#include "res/resource.h"

namespace {

const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

struct Executable {
    const char* build;
    std::wstring path;
    DWORD binaryType;        // what GetBinaryTypeW says, to catch swapped paths
    std::wstring inspector;  // the same build's ikwdev-inspect.exe
};
Executable g_executables[] = {
    {"win64", L"", SCS_64BIT_BINARY, L""},
    {"win32", L"", SCS_32BIT_BINARY, L""},
};
std::wstring g_iconFile;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

uint16_t U16(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

uint32_t U32(const std::vector<uint8_t>& bytes, size_t offset) {
    return U16(bytes, offset) | static_cast<uint32_t>(U16(bytes, offset + 2)) << 16;
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    auto* names = reinterpret_cast<std::vector<std::wstring>*>(found);
    names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

// Opens one executable as data: its code is never run, so the 32-bit one
// loads into this 64-bit process as well.
class ResourcesTest : public testing::TestWithParam<Executable*> {
protected:
    void SetUp() override {
        const Executable& exe = *GetParam();
        ASSERT_NE(GetFileAttributesW(exe.path.c_str()), INVALID_FILE_ATTRIBUTES)
            << "the " << exe.build << " build of IKWDev.exe is missing at " << Narrow(exe.path)
            << ": both builds ship, build it (or pass its path)";
        DWORD type = 0;
        ASSERT_TRUE(GetBinaryTypeW(exe.path.c_str(), &type)) << Narrow(exe.path);
        ASSERT_EQ(type, exe.binaryType) << Narrow(exe.path) << " is not the " << exe.build << " build";
        m_module = LoadLibraryExW(exe.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_module, nullptr) << Narrow(exe.path) << ": error " << GetLastError();
    }

    void TearDown() override {
        if (m_module)
            FreeLibrary(m_module);
    }

    const std::wstring& Path() const { return GetParam()->path; }

    // The bytes of one resource, empty when it is missing.
    std::vector<uint8_t> Resource(LPCWSTR type, LPCWSTR name, WORD language) const {
        HRSRC found = FindResourceExW(m_module, type, name, language);
        if (!found)
            return {};
        const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(m_module, found)));
        return data ? std::vector<uint8_t>(data, data + SizeofResource(m_module, found)) : std::vector<uint8_t>();
    }

    std::vector<WORD> Languages(LPCWSTR type, LPCWSTR name) const {
        std::vector<WORD> languages;
        EnumResourceLanguagesW(m_module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
        std::sort(languages.begin(), languages.end());
        return languages;
    }

    std::vector<std::wstring> Names(LPCWSTR type) const {
        std::vector<std::wstring> names;
        EnumResourceNamesW(m_module, type, CollectName, reinterpret_cast<LONG_PTR>(&names));
        return names;
    }

    // A string from its block of 16 length-prefixed strings, as stored.
    std::wstring String(UINT id, WORD language) const {
        const std::vector<uint8_t> block = Resource(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
        size_t offset = 0;
        for (UINT index = 0; index < 16 && offset + 2 <= block.size(); ++index) {
            const size_t length = U16(block, offset);
            offset += 2;
            if (offset + 2 * length > block.size())
                break;
            if (index == id % 16) {
                std::wstring text;
                for (size_t unit = 0; unit < length; ++unit)
                    text += static_cast<wchar_t>(U16(block, offset + 2 * unit));
                return text;
            }
            offset += 2 * length;
        }
        return L"(missing)";
    }

    HMODULE m_module = nullptr;
};

struct ExpectedString {
    WORD language;
    UINT id;
    const wchar_t* text;
};

// The Japanese texts as code units, so no editor or compiler code page can
// change what is compared.
const ExpectedString kStrings[] = {
    {kEnglishUs, IDS_DEVICE_INFO_FILTER, L"device info files(*.dev)|*.dev|all files(*.*)|*.*||"},
    {kEnglishUs, IDS_SAVE_CAPTION, L"save"},
    {kEnglishUs, IDS_CLOSE_CAPTION, L"close"},
    {kEnglishUs, IDS_DEVICE_INFO_TYPE, L"Device info file"},
    {kEnglishUs, IDS_SHORTCUT_DESCRIPTION, L"Inkwarden - Printer setting utility"},
    // "ﾃﾞﾊﾞｲｽ情報ﾌｧｲﾙ(*.dev)|*.dev|全てのﾌｧｲﾙ(*.*)|*.*||", loan words in half-width katakana
    {kJapanese, IDS_DEVICE_INFO_FILTER,
     L"\uFF83\uFF9E\uFF8A\uFF9E\uFF72\uFF7D\u60C5\u5831\uFF8C\uFF67\uFF72\uFF99(*.dev)|*.dev|"
     L"\u5168\u3066\u306E\uFF8C\uFF67\uFF72\uFF99(*.*)|*.*||"},
    // "設定の保存"
    {kJapanese, IDS_SAVE_CAPTION, L"\u8A2D\u5B9A\u306E\u4FDD\u5B58"},
    // "設定の終了"
    {kJapanese, IDS_CLOSE_CAPTION, L"\u8A2D\u5B9A\u306E\u7D42\u4E86"},
    // "ﾃﾞﾊﾞｲｽ情報ﾌｧｲﾙ", the .dev file type's name in Explorer
    {kJapanese, IDS_DEVICE_INFO_TYPE, L"\uFF83\uFF9E\uFF8A\uFF9E\uFF72\uFF7D\u60C5\u5831\uFF8C\uFF67\uFF72\uFF99"},
    // "Inkwarden - プリンター設定ユーティリティ", the Start-menu shortcut's description
    {kJapanese, IDS_SHORTCUT_DESCRIPTION,
     L"Inkwarden - \u30D7\u30EA\u30F3\u30BF\u30FC\u8A2D\u5B9A\u30E6\u30FC\u30C6\u30A3\u30EA\u30C6\u30A3"},
};

TEST_P(ResourcesTest, StringTableHoldsEnglishAndJapaneseTexts) {
    for (const ExpectedString& expected : kStrings) {
        SCOPED_TRACE("string " + std::to_string(expected.id) + ", language " + std::to_string(expected.language));
        const std::wstring actual = String(expected.id, expected.language);
        EXPECT_EQ(std::vector<wchar_t>(actual.begin(), actual.end()),
                  std::vector<wchar_t>(expected.text, expected.text + wcslen(expected.text)));
    }
    // A third language (a neutral copy, say) would be picked by some
    // interfaces instead of these two.
    for (UINT id :
         {IDS_DEVICE_INFO_FILTER, IDS_SAVE_CAPTION, IDS_CLOSE_CAPTION, IDS_DEVICE_INFO_TYPE, IDS_SHORTCUT_DESCRIPTION})
        EXPECT_EQ(Languages(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1)), (std::vector<WORD>{kEnglishUs, kJapanese}));
}

// The %1 to %9 a text holds: a translation that drops one loses the path or
// the printer the message names.
std::vector<wchar_t> Placeholders(const std::wstring& text) {
    std::vector<wchar_t> found;
    for (size_t at = 0; at + 1 < text.size(); ++at)
        if (text[at] == L'%' && text[at + 1] >= L'1' && text[at + 1] <= L'9')
            found.push_back(text[at + 1]);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

// The list the code shows its messages from is the list checked, so a
// message added to the code without its strings fails here.
TEST_P(ResourcesTest, EveryMessageTheCodeShowsIsThereInBothLanguages) {
    const wchar_t kHalfWidthFirst = L'\uFF61', kHalfWidthLast = L'\uFF9F';
    const std::wstring oldPrinterTerm = L"\u30D7\u30EA\u30F3\u30BF";  // "プリンタ" without its long vowel mark
    for (const ikw::MessageText& message : ikw::kMessageTexts) {
        SCOPED_TRACE("string " + std::to_string(message.id));
        const std::wstring builtIn(reinterpret_cast<const wchar_t*>(message.english));
        const std::wstring english = String(message.id, kEnglishUs);
        const std::wstring japanese = String(message.id, kJapanese);
        EXPECT_EQ(english, builtIn) << "the English text the code falls back to";
        EXPECT_NE(japanese, L"(missing)");
        EXPECT_FALSE(japanese.empty());
        EXPECT_NE(japanese, english) << "an English text in the Japanese table";
        EXPECT_EQ(Placeholders(japanese), Placeholders(english));
        EXPECT_EQ(std::count_if(japanese.begin(), japanese.end(),
                                [&](wchar_t unit) { return unit >= kHalfWidthFirst && unit <= kHalfWidthLast; }),
                  0)
            << "messages write katakana full-width, as Windows does";
        for (size_t at = japanese.find(oldPrinterTerm); at != std::wstring::npos;
             at = japanese.find(oldPrinterTerm, at + 1))
            EXPECT_EQ(japanese[at + oldPrinterTerm.size()], L'\u30FC')
                << "the term Windows uses ends in the long vowel mark";
        EXPECT_EQ(Languages(RT_STRING, MAKEINTRESOURCEW(message.id / 16 + 1)),
                  (std::vector<WORD>{kEnglishUs, kJapanese}));
    }
}

TEST_P(ResourcesTest, IconIsOneSixteenColourImageAlikeInBothLanguages) {
    ASSERT_EQ(Languages(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APP_ICON)), (std::vector<WORD>{kEnglishUs, kJapanese}));
    std::vector<std::vector<uint8_t>> images;
    for (WORD language : {kEnglishUs, kJapanese}) {
        SCOPED_TRACE("language " + std::to_string(language));
        // GRPICONDIR, then one 14-byte GRPICONDIRENTRY.
        const std::vector<uint8_t> group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_APP_ICON), language);
        ASSERT_EQ(group.size(), 6u + 14u);
        EXPECT_EQ(U16(group, 2), 1) << "resource type icon";
        ASSERT_EQ(U16(group, 4), 1) << "image count";
        EXPECT_EQ(group[6], 32) << "width";
        EXPECT_EQ(group[7], 32) << "height";
        EXPECT_EQ(group[8], 16) << "colour count";
        EXPECT_EQ(U16(group, 10), 1) << "planes";
        EXPECT_EQ(U16(group, 12), 4) << "bits per pixel";
        const uint32_t size = U32(group, 14);
        const uint16_t imageId = U16(group, 18);

        std::vector<uint8_t> image = Resource(RT_ICON, MAKEINTRESOURCEW(imageId), language);
        ASSERT_EQ(image.size(), size);
        // BITMAPINFOHEADER: 32 wide, twice 32 high (colours and mask), 4 bpp.
        EXPECT_EQ(U32(image, 0), 40u);
        EXPECT_EQ(U32(image, 4), 32u);
        EXPECT_EQ(U32(image, 8), 64u);
        EXPECT_EQ(U16(image, 14), 4);
        HICON icon = CreateIconFromResourceEx(image.data(), size, TRUE, 0x00030000, 32, 32, LR_DEFAULTCOLOR);
        EXPECT_NE(icon, nullptr) << "the window system does not accept the image";
        if (icon)
            DestroyIcon(icon);
        images.push_back(std::move(image));
    }
    EXPECT_TRUE(images[0] == images[1]) << "the Japanese icon differs from the English one";

    // And it is the icon drawn in res/icon, not a stale or foreign one: the
    // .ico holds a 6-byte header and one 16-byte entry before the image.
    const std::vector<uint8_t> drawn = ReadFileBytes(g_iconFile);
    ASSERT_GT(drawn.size(), 22u) << Narrow(g_iconFile);
    EXPECT_TRUE(images[0] == std::vector<uint8_t>(drawn.begin() + 22, drawn.end()))
        << "the icon differs from " << Narrow(g_iconFile);
}

TEST_P(ResourcesTest, ManifestRunsAsInvokerDpiAwareWithoutDependencies) {
    EXPECT_EQ(Names(RT_MANIFEST), std::vector<std::wstring>{L"#1"});
    const std::vector<uint8_t> bytes = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1), kNeutral);
    const std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"), std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find(R"(>true</dpiAware>)"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("dependentAssembly"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("dependency"), std::string::npos) << manifest;

    // The loader parses it at every start; a malformed manifest stops the
    // program before it runs.
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = Path().c_str();
    context.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE activation = CreateActCtxW(&context);
    EXPECT_NE(activation, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (activation != INVALID_HANDLE_VALUE)
        ReleaseActCtx(activation);
}

// What every shipped program's version block holds, the names aside.
struct ProgramNames {
    const wchar_t* description;
    const wchar_t* internalName;
    const wchar_t* originalFilename;
};

void ExpectVersionBlock(const std::wstring& path, const ProgramNames& names) {
    SCOPED_TRACE(Narrow(path));
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << "error " << GetLastError();
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    FreeLibrary(module);
    EXPECT_EQ(languages, std::vector<WORD>{kNeutral});

    DWORD ignored = 0;
    std::vector<uint8_t> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "no version information, error " << GetLastError();
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    // Both numbers are the one in the file VERSION, which the packages are named after.
    EXPECT_EQ(fixed->dwFileVersionMS, IKW_VERSION_MS);
    EXPECT_EQ(fixed->dwFileVersionLS, IKW_VERSION_LS);
    EXPECT_EQ(fixed->dwProductVersionMS, IKW_VERSION_MS);
    EXPECT_EQ(fixed->dwProductVersionLS, IKW_VERSION_LS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u) << "exactly one translation";
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0000) << "language";
    EXPECT_EQ(translation[1], 0x04B0) << "code page";

    const struct {
        const wchar_t* key;
        const wchar_t* text;  // nullptr: must be absent
    } kEntries[] = {
        {L"FileDescription", names.description},
        {L"InternalName", names.internalName},
        {L"OriginalFilename", names.originalFilename},
        {L"Comments", L""},
        {L"CompanyName", L"Inkwarden"},
        {L"LegalCopyright", L"Copyright (C) Inkwarden"},
        {L"FileVersion", nullptr},
        {L"ProductVersion", nullptr},
        {L"ProductName", nullptr},
    };
    for (const auto& entry : kEntries) {
        SCOPED_TRACE(Narrow(entry.key));
        const std::wstring query = std::wstring(L"\\StringFileInfo\\000004b0\\") + entry.key;
        const bool found = VerQueryValueW(info.data(), query.c_str(), &value, &length);
        if (!entry.text) {
            EXPECT_FALSE(found);
            continue;
        }
        ASSERT_TRUE(found);
        // The length counts the terminating null, when the block stores one.
        const auto* text = static_cast<const wchar_t*>(value);
        EXPECT_EQ(std::wstring(text, wcsnlen(text, length)), entry.text);
    }
}

TEST_P(ResourcesTest, VersionBlockIsNeutralWithOwnerTextsAndNoVersionStrings) {
    ExpectVersionBlock(Path(), {L"Inkwarden - Printer setting utility", L"IKWDev", L"IKWDev.exe"});
}

// The inspector ships beside the program, and inventory tools and the
// file-properties page read it the same way.
TEST_P(ResourcesTest, InspectorHasTheSameVersionBlock) {
    ExpectVersionBlock(GetParam()->inspector,
                       {L"Inkwarden - Device info file inspector", L"ikwdev-inspect", L"ikwdev-inspect.exe"});
}

INSTANTIATE_TEST_SUITE_P(Builds, ResourcesTest, testing::Values(&g_executables[0], &g_executables[1]),
                         [](const testing::TestParamInfo<Executable*>& info) { return info.param->build; });

}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 6) {
        fwprintf(stderr,
                 L"usage: %ls WIN64_EXE WIN32_EXE APP_ICON_ICO WIN64_INSPECTOR WIN32_INSPECTOR [gtest options]\n",
                 argv[0]);
        return 2;
    }
    g_executables[0].path = argv[1];
    g_executables[1].path = argv[2];
    g_iconFile = argv[3];
    g_executables[0].inspector = argv[4];
    g_executables[1].inspector = argv[5];
    return RUN_ALL_TESTS();
}
