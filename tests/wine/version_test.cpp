// The version resource as Explorer's property sheet and installers read it
// from the built saver file.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/wine/wine_test_util.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
std::vector<BYTE> ReadVersionBlock(const std::wstring& file)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) block.clear();
    return block;
}

// nullptr when the block has no such string in its first translation.
const wchar_t* QueryString(std::vector<BYTE>& block, const wchar_t* name)
{
    struct Translation {
        WORD language, codePage;
    }* tr = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &length) ||
        length < sizeof *tr)
        return nullptr;
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", tr->language, tr->codePage, name);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&text), &length) || length == 0) return nullptr;
    return text;
}
}  // namespace

TEST(Version, SaverFileCarriesConsistentJapaneseVersionResource)
{
    std::vector<BYTE> block = ReadVersionBlock(BesideTests(L"KELMORA.scr"));
    ASSERT_FALSE(block.empty()) << "no version resource in KELMORA.scr";

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);

    // The texts are written by hand beside the numbers: they must not drift.
    wchar_t numbers[64];
    swprintf(numbers, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
             HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    wchar_t shortNumbers[32];
    swprintf(shortNumbers, 32, L"%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS));

    struct Row {
        int line;
        const wchar_t* name;
        std::wstring expected;
    } rows[] = {
        {__LINE__, L"FileVersion", numbers},
        {__LINE__, L"ProductVersion", shortNumbers},
        // Japanese that reached the resource as the UTF-8 source meant it.
        {__LINE__, L"FileDescription", L"ミルカナ スクリーンセーバー"},
        {__LINE__, L"ProductName", L"ミルカナ Screen Saver"},
    };
    for (const Row& row : rows) {
        const wchar_t* text = QueryString(block, row.name);
        ASSERT_NE(text, nullptr) << "line " << row.line;
        EXPECT_EQ(std::wstring(text), row.expected) << "line " << row.line;
    }
}
