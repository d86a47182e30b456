// Rules for a name the user gives an item.
#pragma once

// 0 for an empty name or one with \ / : * ? " < > | (read by code page 932
// characters: trail bytes such as the 0x5C of "表" are not separators).
int IsValidItemName(const char* name);
