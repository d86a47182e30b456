#include "fileops/selection.h"

#include <commctrl.h>
#include <string.h>

#include "assoc/filer_core.h"
#include "base/text_buffer.h"

int CollectSelectedNames(HWND list, char* names) {
    names[0] = '\0';
    if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return 0;
    int more = 0;
    for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED)) != -1;) {
        LVITEMA lv = {};
        lv.mask = LVIF_PARAM;
        lv.iItem = i;
        if (!SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&lv))
            continue;
        char name[PATH_SIZE] = "";
        LVITEMA cell = {};
        cell.pszText = name;
        cell.cchTextMax = sizeof name;
        SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&cell);
        size_t have = strlen(names);
        // Room is kept for the closing line, so the text never ends mid-name.
        if (more || have + strlen(name) + 2 + 32 >= NAMES_BUFFER_SIZE) {
            more++;
            continue;
        }
        AppendText(names, NAMES_BUFFER_SIZE, name);
        AppendText(names, NAMES_BUFFER_SIZE, "\r\n");
    }
    if (more) {
        char line[32];
        FormatText(line, sizeof line, "... (+%d)\r\n", more);
        AppendText(names, NAMES_BUFFER_SIZE, line);
    }
    return 1;
}
