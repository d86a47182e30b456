#include "base/spellable.h"

#include <string.h>

// Names and paths are far below this; anything longer goes the wide way.
enum { LONGEST_CHECKED = 1024, BYTES_CHECKED = 2 * LONGEST_CHECKED + 2 };

// The name in the code page into bytes, without best fit ("é" must not come
// out as "e"), and back; each gives the length made, or -1 where a character
// has no form.
static int ToCodePage(const NameUnit* name, size_t length, char* bytes);
static int FromCodePage(const char* bytes, int count, NameUnit* back);

#ifdef _WIN32
#include <windows.h>

static int ToCodePage(const NameUnit* name, size_t length, char* bytes) {
    BOOL defaulted = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, (int)length, bytes, BYTES_CHECKED,
                                nullptr, &defaulted);
    return n <= 0 || defaulted ? -1 : n;
}

static int FromCodePage(const char* bytes, int count, NameUnit* back) {
    int m = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, count, back, LONGEST_CHECKED + 1);
    return m <= 0 ? -1 : m;
}

#else
#include <iconv.h>

// The native build converts with the C library's table of the same code page.
static int Convert(const char* to, const char* from, const void* in, size_t inBytes, void* out,
                   size_t outBytes) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return -1;
    char* src = (char*)in;
    char* dst = (char*)out;
    size_t left = outBytes;
    size_t r = iconv(cd, &src, &inBytes, &dst, &left);
    iconv_close(cd);
    return r == (size_t)-1 || inBytes != 0 ? -1 : (int)(outBytes - left);
}

static int ToCodePage(const NameUnit* name, size_t length, char* bytes) {
    return Convert("CP932", "UTF-16LE", name, length * sizeof(NameUnit), bytes, BYTES_CHECKED);
}

static int FromCodePage(const char* bytes, int count, NameUnit* back) {
    int n =
        Convert("UTF-16LE", "CP932", bytes, (size_t)count, back, (LONGEST_CHECKED + 1) * sizeof(NameUnit));
    return n < 0 ? -1 : n / (int)sizeof(NameUnit);
}
#endif

int IsSpellable(const NameUnit* name) {
    // Every code page has the ASCII characters: most names need no conversion.
    size_t length = 0;
    unsigned high = 0;
    while (name[length])
        high |= (unsigned)name[length++];
    if (high < 0x80)
        return 1;
    if (length > LONGEST_CHECKED)
        return 0;
    char bytes[BYTES_CHECKED];
    NameUnit back[LONGEST_CHECKED + 1];
    int n = ToCodePage(name, length, bytes);
    int m = n < 0 ? -1 : FromCodePage(bytes, n, back);
    return m == (int)length && memcmp(back, name, length * sizeof(NameUnit)) == 0;
}

static NameUnit Upper(NameUnit c) {
    return c >= 'a' && c <= 'z' ? (NameUnit)(c - 'a' + 'A') : c;
}

int IsDeviceName(const NameUnit* name, size_t length) {
    // The part before the first ".", without its final blanks, decides.
    size_t base = 0;
    while (base < length && name[base] != '.')
        base++;
    while (base > 0 && name[base - 1] == ' ')
        base--;
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        size_t n = strlen(device), i = 0;
        while (i < n && i < base && Upper(name[i]) == (NameUnit)device[i])
            i++;
        if (i == n && n == base)
            return 1;
    }
    if (base != 4)
        return 0;
    int com = Upper(name[0]) == 'C' && Upper(name[1]) == 'O' && Upper(name[2]) == 'M';
    int lpt = Upper(name[0]) == 'L' && Upper(name[1]) == 'P' && Upper(name[2]) == 'T';
    // COM0-COM9, LPT0-LPT9 and the superscript forms Windows also reserves.
    NameUnit d = name[3];
    return (com || lpt) && ((d >= '0' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3);
}

int EndsAsAnotherName(const NameUnit* name, size_t length) {
    // "." and ".." are the folder's own entries, never items.
    int dots = length > 0 && length <= 2 && name[0] == '.' && name[length - 1] == '.';
    return length > 0 && !dots && (name[length - 1] == '.' || name[length - 1] == ' ');
}

int NeedsExactName(const NameUnit* name, size_t length) {
    return EndsAsAnotherName(name, length) || IsDeviceName(name, length);
}

NameReach ReachOfName(const NameUnit* name) {
    size_t length = 0;
    for (; name[length]; length++) {
        NameUnit c = name[length];
        if (c < 0x20 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|')
            return NAME_UNREACHABLE;
    }
    return NeedsExactName(name, length) ? NAME_NEEDS_EXACT_PATH : NAME_REACHES;
}
