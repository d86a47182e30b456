#include "panes/item_name.h"

#include <string.h>

#include "base/cp932.h"

int IsValidItemName(const char* name) {
    if (name[0] == '\0' || EndsInCutCharacter932(name))
        return 0;
    for (size_t step; (step = CharLength932(name)) != 0; name += step) {
        unsigned char c = (unsigned char)*name;
        if (step == 1 && (c < 0x20 || strchr("\\/:*?\"<>|", c)))
            return 0;
    }
    return 1;
}
