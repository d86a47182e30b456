#include "panes/compose_path.h"

#include <string.h>

#include "base/cp932.h"
#include "base/text_buffer.h"

char DriveLetterOfDisplayName(const char* name) {
    size_t n = strlen(name);
    if (n < 4 || name[n - 4] != '(' || name[n - 2] != ':' || name[n - 1] != ')')
        return 0;
    // "(", ":" and ")" are never bytes of a double-byte character, so the
    // letter between them is a character of its own.
    char letter = name[n - 3];
    return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

// Cuts path after its last real separator before the final byte, or empties it.
static void CutToParent(char* path) {
    size_t n = strlen(path);
    int keep = -1;
    for (size_t i = 0, step; i + 1 < n && (step = CharLength932(path + i)) != 0; i += step)
        if (step == 1 && path[i] == '\\')
            keep = (int)i;
    path[keep + 1] = '\0';
}

ComposeResult ComposePath(const char* name, char* path, size_t cap) {
    if (name[0] == '.' && name[1] == '.') {
        CutToParent(path);
        return COMPOSE_DONE;
    }
    if (name[0] == '.')
        return COMPOSE_DONE;
    if (path[0] == '\0') {
        char letter = DriveLetterOfDisplayName(name);
        if (!letter)
            return COMPOSE_NOT_DRIVE;
        char root[4] = {letter, ':', '\\', '\0'};
        return CopyText(path, cap, root) ? COMPOSE_DONE : COMPOSE_TOO_LONG;
    }
    size_t have = strlen(path), len = strlen(name);
    if (have + len + 1 >= cap)
        return COMPOSE_TOO_LONG;
    memcpy(path + have, name, len);
    path[have + len] = '\\';
    path[have + len + 1] = '\0';
    return COMPOSE_DONE;
}
