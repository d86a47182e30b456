// Every code page 932 path scan over arbitrary byte strings: separators,
// parent folder, bare name, into-itself, trimming, joining, the drive letter
// of a display name, the extension. The input is split at its first NUL into
// two texts.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "base/cp932.h"
#include "exchange/file_list.h"
#include "fileops/walk_paths.h"
#include "assoc/open_rules.h"
#include "panes/compose_path.h"
#include "panes/item_name.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string all(reinterpret_cast<const char*>(data), size);
    size_t cut = all.find('\0');
    std::string a = all.substr(0, cut), b = cut == std::string::npos ? "" : all.substr(cut + 1);
    b = b.substr(0, b.find('\0'));

    int last = FindLastSeparator(a.c_str());
    if (last >= (int)a.size() || (last >= 0 && a[last] != '\\'))
        __builtin_trap();
    EndsWithSeparator(a.c_str());
    const char* name = NameOfPath(a.c_str());
    if (name < a.c_str() || name > a.c_str() + a.size())
        __builtin_trap();
    char folder[260];
    FolderOfPath(a.c_str(), folder, sizeof folder);
    IsStrictlyInside(a.c_str(), b.c_str());
    IsSameFolderText(a.c_str(), b.c_str());
    DriveLetterOfDisplayName(a.c_str());
    IsValidItemName(a.c_str());

    char path[260], child[260], pattern[260];
    if (a.size() < sizeof path) {
        memcpy(path, a.c_str(), a.size() + 1);
        TrimFolderPath(path);
        EnsureTrailingSeparator(path, sizeof path);
        ComposePath(b.c_str(), path, sizeof path);
        if (!memchr(path, '\0', sizeof path))
            __builtin_trap();
    }
    if (ChildPath(child, sizeof child, a.c_str(), b.c_str()) && strlen(child) > WALK_PATH_MAX)
        __builtin_trap();
    ItemPath(child, sizeof child, a.c_str(), b.c_str(), RECYCLE_PATH_MAX);
    SearchPattern(pattern, sizeof pattern, a.c_str());
    char extension[1024];
    if (a.size() < sizeof extension)
        FileExtension(a.c_str(), extension, sizeof extension);
    return 0;
}
