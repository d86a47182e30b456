#include "panes/list_text.h"

#include "base/text_buffer.h"

uint64_t SizeInKilobytes(uint64_t bytes) {
    return bytes / 1024 + (bytes % 1024 != 0);
}

int FormatSizeText(char* dst, size_t cap, uint64_t bytes) {
    return FormatText(dst, cap, "%lluKB", (unsigned long long)SizeInKilobytes(bytes));
}

int FormatDateText(char* dst, size_t cap, int year, int month, int day, int hour, int minute) {
    return FormatText(dst, cap, "%04d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
}
