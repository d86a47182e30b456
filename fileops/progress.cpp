#include "fileops/progress.h"

#include <windows.h>

#include "base/spellable.h"
#include "fileops/file_path.h"
#include "fileops/selection.h"
#include "fileops/walk_paths.h"
#include "fileops/walk_sink.h"

int FormItemPaths(const char* first, const char* second, const SelectedItem& item, FilePath* source,
                  FilePath* destination, WalkSink& sink) {
    if (!ItemFilePath(source, first, item.name, RealNameOf(item), WALK_PATH_MAX)) {
        sink.PathTooLong(first, item.name);
        return 0;
    }
    if (!ItemFilePath(destination, second, item.name, RealNameOf(item), WALK_PATH_MAX)) {
        sink.PathTooLong(second, item.name);
        return 0;
    }
    return 1;
}

int IsUnreachableName(const WCHAR* realName) {
    return realName && ReachOfName(realName) == NAME_UNREACHABLE;
}
