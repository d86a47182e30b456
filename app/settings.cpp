#include "app/settings.h"

#include <windows.h>

#include "base/prompts.h"
#include "core/filer_core.h"
#include "base/cp932.h"
#include "base/text_buffer.h"

const char kSettingsFile[] = "Ostrand.ini";
static const char kSection[] = "Filer";

static void ReadFolder(const char* key, const char* fallback, char* path) {
    GetPrivateProfileStringA(kSection, key, fallback, path, PATH_SIZE, kSettingsFile);
    // A hand-edited value may lack the final "\" that every item path relies on.
    EnsureTrailingSeparator(path, PATH_SIZE);
}

void ReadSettings(char* leftPath, char* rightPath) {
    ReadFolder("L_dir", "c:\\", leftPath);
    ReadFolder("R_dir", "c:\\windows\\", rightPath);
}

// "\\.\..." and "\\?\..." name devices and raw volumes to the system; a
// pane can't show one as a folder even where the system lets it be entered.
static int IsDevicePath(const char* path) {
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    return separator(path[0]) && separator(path[1]) && (path[2] == '.' || path[2] == '?') &&
           separator(path[3]);
}

int CheckStartFolder(char* path) {
    char full[PATH_SIZE];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n > 0 && n < sizeof full)
        CopyText(path, PATH_SIZE, full);
    if (!IsDevicePath(path) && SetCurrentDirectoryA(path))
        return 1;
    if (path[0] != '\0' &&
        ShowMessage(nullptr, path, "c:\\ で起動しますか", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return 0;
    CopyText(path, PATH_SIZE, "c:\\");
    return 1;
}

void WriteSettings(const char* leftPath, const char* rightPath) {
    WritePrivateProfileStringA(kSection, "L_dir", leftPath, kSettingsFile);
    WritePrivateProfileStringA(kSection, "R_dir", rightPath, kSettingsFile);
}
