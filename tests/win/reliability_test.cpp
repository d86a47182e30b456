// Copies that fail part-way must not cost the user the older copy.
#include <gtest/gtest.h>

#include <algorithm>

#include "assoc/filer_core.h"
#include "tests/win/support/win_test_support.h"

// Every entry of a folder, dot names included (a temporary file must not stay).
static std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// The 1 MiB volume the test driver mounted, emptied for this test.
class FullVolumeTest : public ::testing::Test {
protected:
    void SetUp() override {
        char unix[MAX_PATH] = "", refused[512] = "";
        if (GetEnvironmentVariableA("BRENNIK_FULL_VOLUME_REFUSED", refused, sizeof refused))
            GTEST_SKIP() << "no small volume to fill: " << refused;
        if (!GetEnvironmentVariableA("BRENNIK_FULL_VOLUME", unix, sizeof unix))
            GTEST_SKIP() << "no small volume to fill: the test driver mounts it (scripts/wine-env.sh)";
        volume_ = std::string("Z:") + unix + "/";
        for (char& c : volume_)
            if (c == '/')
                c = '\\';
        for (const std::string& name : Entries(volume_))
            RemoveTree(volume_ + name), DeleteFileA((volume_ + name).c_str());
    }
    std::string volume_;
    TempFolder source_;
    PromptRecorder prompts_;
};

TEST_F(FullVolumeTest, AFailingCopyKeepsTheOlderDestination) {
    std::string old(100 * 1024, 'o');
    WriteBytes(volume_ + "report.dat", old);
    SetWriteTime(volume_ + "report.dat", 10);
    ULONGLONG oldTime = WriteTimeOf(volume_ + "report.dat");
    WriteBytes(source_ / "report.dat", std::string(2 * 1024 * 1024, 'n'));  // twice the volume
    SetWriteTime(source_ / "report.dat", 20);

    EXPECT_EQ(1, gCore->CopyTree((source_ / "report.dat").c_str(), (volume_ + "report.dat").c_str(), 0, nullptr));
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CopyZ File ERROR", prompts_.calls()[0].caption);
    EXPECT_EQ(volume_ + "report.dat", prompts_.calls()[0].text);
    EXPECT_TRUE(ReadBytes(volume_ + "report.dat") == old) << "the older copy survives byte for byte";
    EXPECT_EQ(oldTime, WriteTimeOf(volume_ + "report.dat")) << "and keeps its time, so the date rule retries";
    EXPECT_EQ(std::vector<std::string>{"report.dat"}, Entries(volume_)) << "no temporary file is left";

    // A later update pass, once the file fits, copies it.
    WriteBytes(source_ / "report.dat", std::string(300 * 1024, 'm'));
    SetWriteTime(source_ / "report.dat", 30);
    gCore->CopyTree((source_ / "report.dat").c_str(), (volume_ + "report.dat").c_str(), 0, nullptr);
    EXPECT_EQ(300u * 1024, ReadBytes(volume_ + "report.dat").size());
    EXPECT_EQ(WriteTimeOf(source_ / "report.dat"), WriteTimeOf(volume_ + "report.dat"));
    EXPECT_EQ(1u, prompts_.calls().size());
}

TEST_F(FullVolumeTest, ANewDestinationThatFailsIsNotLeftHalf) {
    WriteBytes(source_ / "big.dat", std::string(2 * 1024 * 1024, 'b'));
    gCore->CopyTree((source_ / "big.dat").c_str(), (volume_ + "big.dat").c_str(), 0, nullptr);
    ASSERT_EQ(1u, prompts_.calls().size());
    EXPECT_EQ("CopyZ File ERROR", prompts_.calls()[0].caption);
    EXPECT_TRUE(Entries(volume_).empty()) << "nothing partial";
}
