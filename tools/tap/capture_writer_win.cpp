// A queue of whole blocks drained by a writer thread, bounded in bytes, and a microsecond clock
// anchored once to the system time.
#include "tools/tap/capture_writer_win.h"

#include "tools/common/texts.h"
#include "tools/tap/tap_options.h"

namespace {
constexpr uint64_t kUnixEpochIn100ns = 116444736000000000ull;
// What may wait for a reader that has not started or reads slowly: minutes of a busy session.
constexpr uint64_t kMaxQueuedBytes = 64ull * 1024 * 1024;
constexpr DWORD kCancelWaitMs = 500;

struct ClockBase {
    uint64_t systemUs;
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    ClockBase() {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        systemUs = (ticks - kUnixEpochIn100ns) / 10;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&counter);
    }
};
}  // namespace

uint64_t NowUs() {
    static const ClockBase base;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const uint64_t elapsed = static_cast<uint64_t>(now.QuadPart - base.counter.QuadPart);
    const uint64_t frequency = static_cast<uint64_t>(base.frequency.QuadPart);
    return base.systemUs + elapsed / frequency * 1000000 + elapsed % frequency * 1000000 / frequency;
}

unsigned CaptureWriter::Create(const std::string& path, const std::string& description, bool overwrite) {
    // Standard output is written through its handle: no C runtime buffering or newline
    // translation, and each block reaches a reader such as tshark -i - when it is written.
    // CREATE_NEW decides "exists" and "create" in one step, so no file appearing in between is lost.
    ownsFile_ = path != kStandardOutput;
    file_ = ownsFile_ ? CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    overwrite ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
                      : GetStdHandle(STD_OUTPUT_HANDLE);
    if (!file_) file_ = INVALID_HANDLE_VALUE;
    if (file_ == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS ? tool_text::CaptureExists : tool_text::CaptureCreateFailed;
    lastProgress_ = GetTickCount64();
    writer_ = CreateThread(nullptr, 0, &WriterMain, this, 0, nullptr);
    if (!writer_) {
        const DWORD error = GetLastError();
        if (ownsFile_) {
            CloseHandle(file_);
            DeleteFileA(path.c_str());
        }
        file_ = INVALID_HANDLE_VALUE;
        SetLastError(error);
        return tool_text::CaptureCreateFailed;
    }
    std::lock_guard<std::mutex> hold(lock_);
    QueueLocked(capture::FileHeader("quorvex-tap " QUORVEX_VERSION, description), false);
    return tool_text::Ok;
}

CaptureWriter::~CaptureWriter() {
    Close(0);
    // A writer still inside a write that nothing ends is left to the end of the process.
    if (writer_ && WaitForSingleObject(writer_, 0) == WAIT_OBJECT_0 && ownsFile_ && file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    if (writer_) CloseHandle(writer_);
}

void CaptureWriter::Fail(unsigned id) {
    if (!failure_) failure_ = id;
    queue_.clear();
    queuedBytes_ = 0;
}

void CaptureWriter::QueueLocked(std::string bytes, bool packet) {
    if (closing_ || failure_ || file_ == INVALID_HANDLE_VALUE) return;
    if (queuedBytes_ + bytes.size() > kMaxQueuedBytes) {
        Fail(tool_text::CaptureReaderBehind);  // blocks after a gap would misstate the session
        return;
    }
    queuedBytes_ += bytes.size();
    queue_.push_back({std::move(bytes), packet});
    wake_.notify_one();
}

void CaptureWriter::Record(capture::Direction direction, const char* bytes, DWORD count, uint64_t timeUs) {
    std::lock_guard<std::mutex> hold(lock_);
    lastUs_ = timeUs > lastUs_ ? timeUs : lastUs_;
    QueueLocked(capture::PacketBlock({lastUs_, direction, std::string(bytes, count)}), true);
}

DWORD WINAPI CaptureWriter::WriterMain(void* self) {
    static_cast<CaptureWriter*>(self)->WriteQueued();
    return 0;
}

void CaptureWriter::WriteQueued() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        wake_.wait(hold, [this] { return !queue_.empty() || closing_; });
        if (queue_.empty()) return;  // closing, and everything written
        Block block = std::move(queue_.front());
        queue_.pop_front();
        hold.unlock();
        DWORD written = 0;
        const bool ok = WriteFile(file_, block.bytes.data(), static_cast<DWORD>(block.bytes.size()), &written, nullptr) &&
                        written == block.bytes.size();
        hold.lock();
        queuedBytes_ -= queuedBytes_ >= block.bytes.size() ? block.bytes.size() : queuedBytes_;
        lastProgress_ = GetTickCount64();
        if (!ok) {
            Fail(tool_text::CaptureWriteFailed);
        } else if (block.packet) {
            ++packets_;
        }
    }
}

void CaptureWriter::Close(DWORD stallMs) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (closing_) return;
        closing_ = true;
        lastProgress_ = GetTickCount64();
        wake_.notify_one();
    }
    if (!writer_) return;
    // Waits while the reader takes blocks; a reader that stops taking them is given up on.
    while (WaitForSingleObject(writer_, 100) == WAIT_TIMEOUT) {
        std::lock_guard<std::mutex> hold(lock_);
        if (GetTickCount64() - lastProgress_ < stallMs) continue;
        Fail(tool_text::CaptureReaderBehind);
        break;
    }
    if (WaitForSingleObject(writer_, 0) == WAIT_TIMEOUT) {
        CancelSynchronousIo(writer_);
        WaitForSingleObject(writer_, kCancelWaitMs);
        return;  // the handle stays with a writer that is still inside its write
    }
    if (ownsFile_ && file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

unsigned CaptureWriter::Failure() const {
    std::lock_guard<std::mutex> hold(lock_);
    return failure_;
}

uint64_t CaptureWriter::Packets() const {
    std::lock_guard<std::mutex> hold(lock_);
    return packets_;
}
