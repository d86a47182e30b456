#include "panes/item_name.h"

#include <string.h>

#include "base/cp932.h"

int IsValidItemName(const char* name) {
    if (name[0] == '\0')
        return 0;
    for (size_t i = 0; name[i] != '\0'; i++) {
        unsigned char c = (unsigned char)name[i];
        if (IsLeadByte932(c)) {
            if (name[i + 1] == '\0')
                return 0; // a cut character
            i++;
            continue;
        }
        if (c < 0x20 || strchr("\\/:*?\"<>|", c))
            return 0;
    }
    return 1;
}
