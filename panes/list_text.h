// The size and date texts of a listed item.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Kilobytes rounded up: 0 -> 0, 1..1024 -> 1, 1025 -> 2.
uint64_t SizeInKilobytes(uint64_t bytes);
// Kilobytes rounded up: 0 -> "0KB", 1..1024 -> "1KB", 1025 -> "2KB".
int FormatSizeText(char* dst, size_t cap, uint64_t bytes);
int FormatDateText(char* dst, size_t cap, int year, int month, int day, int hour, int minute);
