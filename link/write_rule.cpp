// A write that moved bytes went; a gone pipe is gone; any other failure is settled by a flush.
#include "link/write_rule.h"

WriteVerdict JudgeWrite(const WriteAttempt& attempt, PipeFlusher& flusher) {
    if (attempt.ok || attempt.written != 0) return WriteVerdict::Went;
    if (attempt.pipeGone) return WriteVerdict::Gone;
    return flusher.Flush() ? WriteVerdict::TryAgain : WriteVerdict::Gone;
}
