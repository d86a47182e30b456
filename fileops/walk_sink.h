// What a copy, delete or move says while it works. The walks show nothing
// themselves: the window's sink turns each report into the box or status
// text the user sees, and a test's sink records them.
#pragma once

// What a job does; its end text and the folders it touches follow from it.
enum JobKind { JOB_COPY_SELECTION, JOB_COPY_FOLDER, JOB_DELETE, JOB_RECYCLE, JOB_MOVE, JOB_PASTE, JOB_DROP };

class WalkSink {
  public:
    // The entry the walk is at (part 0), or the file it has just copied (part 1).
    virtual void Progress(int part, const char* text) = 0;
    // An entry that failed or was refused: text names it, caption says what.
    virtual void Failed(const char* text, const char* caption) = 0;
    // An entry left alone because folder + name would pass the path limit.
    virtual void PathTooLong(const char* folder, const char* name) = 0;
    // An entry left alone because no path reaches its name.
    virtual void Unreachable(const char* folder, const char* name) = 0;
    // A job has ended (on the window's thread).
    virtual void Ended(JobKind kind) = 0;

  protected:
    ~WalkSink() = default;
};
