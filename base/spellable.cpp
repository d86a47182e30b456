#include "base/spellable.h"

#include <string.h>

// Names and paths are far below this; anything longer goes the wide way.
enum { LONGEST_CHECKED = 1024 };

// The length of a name, and whether it is ASCII: every code page has those
// characters, so most names need no conversion at all.
static size_t UnitLength(const NameUnit* name, int* ascii) {
    size_t n = 0;
    unsigned high = 0;
    while (name[n])
        high |= (unsigned)name[n++];
    *ascii = high < 0x80;
    return n;
}

#ifdef _WIN32
#include <windows.h>

int IsSpellable(const NameUnit* name) {
    int ascii;
    size_t length = UnitLength(name, &ascii);
    if (ascii)
        return 1;
    if (length > LONGEST_CHECKED)
        return 0;
    // No best-fit: "é" must come out as the default character, not as "e".
    char bytes[2 * LONGEST_CHECKED + 2];
    BOOL defaulted = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, (int)length, bytes, sizeof bytes, nullptr,
                                &defaulted);
    if (n <= 0 || defaulted)
        return 0;
    wchar_t back[LONGEST_CHECKED + 1];
    int m = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, n, back, LONGEST_CHECKED + 1);
    return m == (int)length && memcmp(back, name, length * sizeof(wchar_t)) == 0;
}

#else
#include <iconv.h>

// The native build converts with the C library's table of the same code page.
static size_t Convert(const char* to, const char* from, const void* in, size_t inBytes, void* out,
                      size_t outBytes) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return (size_t)-1;
    char* src = (char*)in;
    char* dst = (char*)out;
    size_t left = outBytes;
    size_t r = iconv(cd, &src, &inBytes, &dst, &left);
    iconv_close(cd);
    if (r == (size_t)-1 || inBytes != 0)
        return (size_t)-1;
    return outBytes - left;
}

int IsSpellable(const NameUnit* name) {
    int ascii;
    size_t length = UnitLength(name, &ascii);
    if (ascii)
        return 1;
    if (length > LONGEST_CHECKED)
        return 0;
    char bytes[2 * LONGEST_CHECKED + 2];
    size_t n = Convert("CP932", "UTF-16LE", name, length * 2, bytes, sizeof bytes);
    if (n == (size_t)-1)
        return 0;
    NameUnit back[LONGEST_CHECKED + 1];
    size_t m = Convert("UTF-16LE", "CP932", bytes, n, back, sizeof back);
    return m == length * 2 && memcmp(back, name, m) == 0;
}
#endif
