// The run: the seed, the loop of actions and checks, and the watch for a
// crash or a window that stops answering.
#include "tests/soak/soak_driver.h"

#include <stdio.h>
#include <stdlib.h>

#include "app/keys.h"
#include "base/prompts.h"
#include "fileops/file_commands.h"
#include "panes/folder_follow.h"

// The window lives on the driver's own thread, where a message to it is a
// plain call: a hang is seen from another thread, as no step ending for
// longer than any job may take, and a crash by the last filter.
static Driver* gDriver;
static volatile LONG gLastBeat;

static DWORD WINAPI WatchSteps(void*) {
    for (;;) {
        Sleep(1000);
        if (GetTickCount() - (DWORD)gLastBeat > 240000)
            gDriver->Abort("the window did not answer for 4 minutes");
    }
}

static LONG WINAPI ReportCrash(EXCEPTION_POINTERS* crash) {
    char what[64];
    snprintf(what, sizeof what, "a crash, exception 0x%08lx",
             (unsigned long)crash->ExceptionRecord->ExceptionCode);
    gDriver->Abort(what);
    return EXCEPTION_EXECUTE_HANDLER;
}

void Driver::Abort(const std::string& what) {
    Violation(what);
    printf("%u actions, %u checks, %u violations\n", step_, checks_, violations_);
    fflush(stdout);
    ExitProcess(1);
}

int Driver::Run(unsigned actions) {
    TakeSnapshot(WideRoot(), L"", Snapshot(), &disk_);
    LearnFolders();
    TakeSnapshot(Beside(), L"", Snapshot(), &sentinelDisk_, TreeName());
    for (const auto& entry : disk_)
        if (entry.second.kind == KIND_FILE)
            contents_[entry.second.hash] |= 1u << entry.second.attributes;
    gDriver = this;
    gLastBeat = (LONG)GetTickCount();
    SetUnhandledExceptionFilter(ReportCrash);
    CloseHandle(CreateThread(nullptr, 0, WatchSteps, nullptr, 0, nullptr));
    InitializeCriticalSection(&gAnswerLock);
    gAnswers.seed(seed_ ^ 0x5A5A5A5AULL);
    gShellAnswers.seed(seed_ + 1);
    CloseHandle(CreateThread(nullptr, 0, WatchShellDialogs, nullptr, 0, nullptr));
    SetPromptResponder(RandomAnswer);
    ListenForRefusals();
    // Each step waits for the panes to follow: short gaps keep the run short.
    SetFollowInterval(50);
    main_.reset(new MainWindowUnderTest);
    if (!main_->window()) {
        printf("the main window could not be made\n");
        return 2;
    }
    LoadKeys();
    InstallTools();
    for (step_ = 1; step_ <= actions; step_++) {
        InterlockedExchange(&gLastBeat, (LONG)GetTickCount());
        noticesAtStep_ = gNotices;
        Expectation expect;
        while (!Act(&expect))
            expect = Expectation();
        FollowLinks(&expect);
        // Drawn whether or not the job has ended yet, so that a replay strays less.
        bool during = Chance(40);
        if (JobRunning() && during)
            DuringJob(&expect);
        if (!PumpUntil([] { return !JobRunning(); }, 120000))
            Violation("a job did not end within 2 minutes");
        PumpMessages(20);
        Check(expect);
        // A long run says how far it has come.
        if (step_ % 500 == 0 && step_ < actions) {
            printf("%u actions, %u checks, %u violations so far\n", step_, checks_, violations_);
            fflush(stdout);
        }
    }
    main_.reset();
    RemoveTools();
    SetPromptResponder(nullptr);
    printf("%u actions, %u checks, %u violations\n", actions, checks_, violations_);
    return violations_ ? 1 : 0;
}

int main(int argc, char** argv) {
    unsigned actions = argc > 1 ? (unsigned)strtoul(argv[1], nullptr, 10) : 300;
    unsigned long long seed = argc > 2 ? strtoull(argv[2], nullptr, 10) : GetTickCount64();
    std::string tree = FolderFromEnvironment("BRENNIK_SOAK_TREE");
    std::string sentinel = FolderFromEnvironment("BRENNIK_SOAK_SENTINEL");
    if (tree.empty() || sentinel.empty()) {
        printf("BRENNIK_SOAK_TREE and BRENNIK_SOAK_SENTINEL name the folders the test driver made\n");
        return 2;
    }
    printf("seed %llu, %u actions, tree %s\n", seed, actions, tree.c_str());
    fflush(stdout);
    SettingsFileGuard settings;
    settings.Write("[Filer]\r\nL_dir=" + tree + "\r\nR_dir=" + tree + "\r\n");
    Driver driver(seed, tree, sentinel);
    return driver.Run(actions);
}
