// What Explorer's Properties show of the built program, read back from its
// resources, and the manifest compiled into it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/version.h"
#include "tests/win/support/win_test_support.h"

static std::string ProgramPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self = path;
    return self.substr(0, self.rfind('\\') + 1) + "Brennik.exe";
}

static std::string Value(const std::vector<char>& info, const char* block, const char* name) {
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\%s\\%s", block, name);
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), query, (void**)&text, &length) || !text)
        return "(missing)";
    return text;
}

TEST(VersionResource, PropertiesShowTheProductAndItsVersion) {
    std::string program = ProgramPath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(program.c_str(), &handle);
    ASSERT_GT(size, 0u) << program;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, size, info.data()));
    for (const char* block : {"041103a4", "040904b0"}) {
        EXPECT_EQ("Brennik", Value(info, block, "ProductName")) << block;
        EXPECT_EQ("Ostrand Kelvo", Value(info, block, "CompanyName")) << block;
        EXPECT_EQ(BRENNIK_VERSION, Value(info, block, "FileVersion")) << block;
        EXPECT_EQ(BRENNIK_VERSION, Value(info, block, "ProductVersion")) << block;
        EXPECT_EQ("Brennik.exe", Value(info, block, "OriginalFilename")) << block;
    }
    EXPECT_EQ("Brennik two-pane file manager", Value(info, "040904b0", "FileDescription"));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &length));
    EXPECT_EQ((DWORD)MAKELONG(BRENNIK_VERSION_MINOR, BRENNIK_VERSION_MAJOR), fixed->dwFileVersionMS);
    EXPECT_EQ((DWORD)MAKELONG(0, BRENNIK_VERSION_PATCH), fixed->dwFileVersionLS);
    char joined[32];
    snprintf(joined, sizeof joined, "%d.%d.%d", BRENNIK_VERSION_MAJOR, BRENNIK_VERSION_MINOR,
             BRENNIK_VERSION_PATCH);
    EXPECT_STREQ(BRENNIK_VERSION, joined) << "one version, written the same way twice";
}

TEST(VersionResource, ManifestAsksForCommonControlsSixOnly) {
    HMODULE module = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, found);
    const char* bytes = (const char*)LockResource(LoadResource(module, found));
    std::string manifest(bytes, SizeofResource(module, found));
    FreeLibrary(module);
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")) << "Windows 10/11";
    // An execution level would end file virtualization for the 32-bit program,
    // and DPI awareness would break the fixed-pixel layout.
    EXPECT_EQ(std::string::npos, manifest.find("requestedExecutionLevel"));
    EXPECT_EQ(std::string::npos, manifest.find("trustInfo"));
    EXPECT_EQ(std::string::npos, manifest.find("dpiAware"));
}
