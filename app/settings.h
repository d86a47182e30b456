// The two pane folders kept in "Ostrand.ini" between runs.
#pragma once

extern const char kSettingsFile[];

void ReadSettings(char* leftPath, char* rightPath);
// 1 to go on (folder entered, or replaced by "c:\" with the user's consent), 0 to quit.
int CheckStartFolder(char* path);
void WriteSettings(const char* leftPath, const char* rightPath);
