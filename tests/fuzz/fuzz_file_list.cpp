// The file-list block: the checker over arbitrary blocks from other
// programs, then the list walked as DragQueryFile would walk a block that
// passed; and the builder over arbitrary names, whose block must pass.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "exchange/file_list.h"

static int Widen(const char* name, uint16_t* out, int capacity) {
    int units = (int)strlen(name) + 1; // one unit per byte is enough here
    if (capacity == 0)
        return units;
    if (units > capacity)
        return 0;
    for (int i = 0; i < units; i++)
        out[i] = (unsigned char)name[i];
    return units;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> block(data, data + size);
    if (IsFileListBlockSound(size ? block.data() : nullptr, size)) {
        // Every name up to the empty one lies inside the block.
        uint32_t first = block[0] | (block[1] << 8) | (block[2] << 16) | ((uint32_t)block[3] << 24);
        int wide = (block[16] | block[17] | block[18] | block[19]) != 0;
        size_t step = wide ? 2 : 1, at = first;
        for (;;) {
            if (at + step > size)
                __builtin_trap();
            bool zero = wide ? (block[at] == 0 && block[at + 1] == 0) : block[at] == 0;
            if (zero)
                break;
            while (!(wide ? (block[at] == 0 && block[at + 1] == 0) : block[at] == 0)) {
                at += step;
                if (at + step > size)
                    __builtin_trap();
            }
            at += step;
        }
    }

    // The input as names (split at NULs, each cut to a path's length).
    std::vector<std::string> names;
    std::string all(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start < all.size() && names.size() < 200;) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos)
            end = all.size();
        if (end > start)
            names.push_back(all.substr(start, end - start > 259 ? 259 : end - start));
        start = end + 1;
    }
    std::vector<const char*> pointers;
    for (const std::string& name : names)
        pointers.push_back(name.c_str());
    for (int wide = 0; wide < 2; wide++) {
        size_t built = FileListBlockSize(pointers.data(), (int)pointers.size(), wide, Widen);
        std::vector<unsigned char> out(built, 0);
        WriteFileListBlock(out.data(), built, pointers.data(), (int)pointers.size(), wide, Widen);
        if (!IsFileListBlockSound(out.data(), built))
            __builtin_trap();
    }
    return 0;
}
