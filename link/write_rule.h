// When a failed write of the command pipe means the control is gone: the one rule the writer
// thread applies to every write it makes.
#pragma once
#include <cstdint>

// One write as the platform answered it.
struct WriteAttempt {
    bool ok;
    uint32_t written;
    bool pipeGone;  // the platform's error says the other end is gone
};

enum class WriteVerdict { Went, Gone, TryAgain };

// Asked only after a write that took nothing and failed for another reason.
class PipeFlusher {
public:
    // False when the pipe is gone (on Windows; Wine answers true on a broken pipe, whose write
    // error says so instead).
    virtual bool Flush() = 0;

protected:
    ~PipeFlusher() = default;
};

WriteVerdict JudgeWrite(const WriteAttempt& attempt, PipeFlusher& flusher);
