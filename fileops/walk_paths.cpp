#include "fileops/walk_paths.h"

#include <string.h>

#include "base/cp932.h"
#include "base/text_buffer.h"

static int Fits(size_t length, size_t cap, size_t limit) {
    return length <= limit && length < cap;
}

int ChildPath(char* dst, size_t cap, const char* folder, const char* name) {
    size_t a = strlen(folder), b = strlen(name);
    int separator = !EndsWithSeparator(folder);
    if (cap > 0)
        dst[0] = '\0';
    if (!Fits(a + separator + b, cap, WALK_PATH_MAX))
        return 0;
    memcpy(dst, folder, a);
    if (separator)
        dst[a] = '\\';
    memcpy(dst + a + separator, name, b + 1);
    return 1;
}

int ItemPath(char* dst, size_t cap, const char* folder, const char* name, size_t limit) {
    if (cap > 0)
        dst[0] = '\0';
    if (!Fits(strlen(folder) + strlen(name), cap, limit))
        return 0;
    return JoinPath(dst, cap, folder, name);
}

static int IsRoot(const char* path) {
    size_t n = strlen(path);
    return (n == 1 && path[0] == '\\') || (n == 3 && path[1] == ':' && path[2] == '\\');
}

void TrimFolderPath(char* path) {
    if (!IsRoot(path) && EndsWithSeparator(path))
        path[strlen(path) - 1] = '\0';
}

int SearchPattern(char* dst, size_t cap, const char* folder) {
    char pattern[WALK_PATH_MAX + 8];
    if (!ChildPath(pattern, sizeof pattern, folder, "*.*"))
        return 0;
    return CopyText(dst, cap, pattern);
}

// Length of the path without its final "\" separator.
static size_t TrimmedLength(const char* path) {
    size_t n = strlen(path);
    return EndsWithSeparator(path) ? n - 1 : n;
}

int IsStrictlyInside(const char* outer, const char* inner) {
    size_t n = TrimmedLength(outer), m = TrimmedLength(inner);
    if (n == 0 || m <= n)
        return 0;
    // Agreeing on the first n bytes, character by character, puts inner on
    // a character boundary at n too.
    return CompareFolded932N(outer, inner, n) == 0 && inner[n] == '\\';
}

int IsSameOrInside(const char* outer, const char* inner) {
    size_t n = TrimmedLength(outer), m = TrimmedLength(inner);
    if (n == 0)
        return 0;
    return (n == m && CompareFolded932N(outer, inner, n) == 0) || IsStrictlyInside(outer, inner);
}

const char* NameOfPath(const char* path) {
    const char* name = path;
    for (size_t step; (step = CharLength932(path)) != 0; path += step)
        if (step == 1 && (*path == '\\' || *path == ':'))
            name = path + 1;
    return name;
}

int IsFolderSelfEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int IsOwnTemporaryName(const char* name) {
    if (strncmp(name, ".~bk", 4) != 0)
        return 0;
    const char* p = name + 4;
    int digits = 0;
    for (; (*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f'); p++)
        digits++;
    return digits >= 1 && digits <= TEMPORARY_DIGITS_MAX && (*p == '\0' || strcmp(p, ".tmp") == 0);
}
