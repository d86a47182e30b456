// The size of every path buffer: the platform's 260 bytes, a path of at most
// 259 bytes and its NUL.
#pragma once

enum { PATH_SIZE = 260 };
