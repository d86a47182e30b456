#include <gtest/gtest.h>
#include <iconv.h>
#include <string.h>

#include <string>
#include <vector>

#include "exchange/file_list.h"

// The code page's conversion as the program's callers make it, here by iconv.
static int Cp932ToUtf16(const char* name, uint16_t* out, int capacity) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    if (cd == (iconv_t)-1)
        return 0;
    std::string in(name, strlen(name) + 1);
    std::vector<char> buffer(in.size() * 4);
    char* src = &in[0];
    size_t srcLeft = in.size();
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == (size_t)-1)
        return 0;
    int units = (int)((buffer.size() - dstLeft) / 2);
    if (capacity == 0)
        return units;
    if (units > capacity)
        return 0;
    memcpy(out, buffer.data(), (size_t)units * 2);
    return units;
}

static std::vector<unsigned char> Build(const std::vector<const char*>& names, int wide) {
    size_t size = FileListBlockSize(names.data(), (int)names.size(), wide, Cp932ToUtf16);
    std::vector<unsigned char> block(size, 0xCC);
    std::fill(block.begin(), block.end(), 0);
    WriteFileListBlock(block.data(), size, names.data(), (int)names.size(), wide, Cp932ToUtf16);
    return block;
}

TEST(FileList, AnsiBlockOfThreeNames) {
    std::vector<unsigned char> block = Build({"C:\\a\\x", "C:\\a\\y", "C:\\a\\z"}, 0);
    ASSERT_EQ(43u, block.size());
    const unsigned char header[20] = {20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(header, block.data(), 20));
    std::string names(block.begin() + 20, block.end());
    EXPECT_EQ(std::string("C:\\a\\x\0C:\\a\\y\0C:\\a\\z\0\0\0", 23), names);
    EXPECT_EQ(1, IsFileListBlockSound(block.data(), block.size()));
}

TEST(FileList, EmptyAndWideBlocks) {
    std::vector<unsigned char> empty = Build({}, 0);
    ASSERT_EQ(22u, empty.size());
    EXPECT_EQ(20, empty[0]);
    EXPECT_EQ(0, empty[20] | empty[21]);
    EXPECT_EQ(1, IsFileListBlockSound(empty.data(), empty.size()));

    // "C:\日本\ソ.txt": double-byte names, one with the 0x5C trail byte.
    const char* japanese = "C:\\\x93\xFA\x96\x7B\\\x83\x5C.txt";
    std::vector<unsigned char> block = Build({japanese, "C:\\b"}, 1);
    int w = Cp932ToUtf16(japanese, nullptr, 0) + Cp932ToUtf16("C:\\b", nullptr, 0);
    ASSERT_EQ(12 + 5, w); // C : \ 日 本 \ ソ . t x t NUL = 12 units, C : \ b NUL = 5
    ASSERT_EQ(22u + 2 * (12 + 5), block.size());
    EXPECT_EQ(1, block[16]) << "fWide";
    const uint16_t expected[] = {'C', ':', '\\', 0x65E5, 0x672C, '\\', 0x30BD, '.', 't',
                                 'x', 't', 0,    'C',    ':',    '\\', 'b',    0,   0};
    for (size_t i = 0; i < sizeof expected / 2; i++)
        EXPECT_EQ(expected[i], block[20 + 2 * i] | (block[21 + 2 * i] << 8)) << "unit " << i;
    EXPECT_EQ(1, IsFileListBlockSound(block.data(), block.size()));
}

TEST(FileList, BlocksFromElsewhereAreCheckedFirst) {
    std::vector<unsigned char> good = Build({"C:\\a\\x"}, 0);
    EXPECT_EQ(0, IsFileListBlockSound(good.data(), 19)) << "shorter than the header";
    EXPECT_EQ(0, IsFileListBlockSound(nullptr, 40));
    std::vector<unsigned char> bad = good;
    bad[0] = 8; // pFiles inside the header
    EXPECT_EQ(0, IsFileListBlockSound(bad.data(), bad.size()));
    bad = good;
    bad[0] = (unsigned char)good.size(); // pFiles past the end
    EXPECT_EQ(0, IsFileListBlockSound(bad.data(), bad.size()));
    // An empty wide list is two zero units, so it reads as safely as the ANSI one.
    std::vector<unsigned char> emptyWide = Build({}, 1);
    EXPECT_EQ(24u, emptyWide.size());
    EXPECT_EQ(1, IsFileListBlockSound(emptyWide.data(), emptyWide.size()));
    // The header and one NUL: the shell's count would read past the block.
    std::vector<unsigned char> single(21, 0);
    single[0] = 20;
    EXPECT_EQ(0, IsFileListBlockSound(single.data(), single.size()));
    // Without its double NUL inside the block.
    bad = good;
    bad.resize(bad.size() - 1);
    bad.back() = 'q';
    EXPECT_EQ(0, IsFileListBlockSound(bad.data(), bad.size()));
    // A wide flag on ANSI bytes: "x\0" pairs never make a zero unit before the end here.
    std::vector<unsigned char> flagged(20, 0);
    flagged[0] = 20;
    flagged[16] = 1;
    const char odd[] = "ab\0c";
    flagged.insert(flagged.end(), odd, odd + 5);
    EXPECT_EQ(0, IsFileListBlockSound(flagged.data(), flagged.size()));
}

TEST(FileList, FoldersAndSameFolder) {
    char folder[260];
    FolderOfPath("C:\\data\\a.txt", folder, sizeof folder);
    EXPECT_STREQ("C:\\data\\", folder);
    FolderOfPath("A:report.txt", folder, sizeof folder);
    EXPECT_STREQ("A:", folder);
    // The trail byte 0x5C of "ソ" is no separator.
    FolderOfPath("C:\\d\\\x83\x5Cx", folder, sizeof folder);
    EXPECT_STREQ("C:\\d\\", folder);
    EXPECT_EQ(1, IsSameFolderText("C:\\DATA\\", "c:\\data\\"));
    EXPECT_EQ(0, IsSameFolderText("C:\\data\\", "C:\\data2\\"));
    EXPECT_EQ(0, IsSameFolderText("C:\\\xE9\\", "C:\\\xC9\\")) << "only A-Z fold";
}
