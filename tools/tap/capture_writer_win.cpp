// Whole-block writes under one lock, and a microsecond clock anchored once to the system time.
#include "tools/tap/capture_writer_win.h"

#include "tools/common/texts.h"
#include "tools/tap/tap_options.h"

namespace {
constexpr uint64_t kUnixEpochIn100ns = 116444736000000000ull;

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
    if (!WriteBlock(capture::FileHeader("quorvex-tap " QUORVEX_VERSION, description))) {
        Close();
        return tool_text::CaptureCreateFailed;
    }
    return tool_text::Ok;
}

bool CaptureWriter::WriteBlock(const std::string& block) {
    DWORD written = 0;
    const bool ok = WriteFile(file_, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
                    written == block.size();
    if (!ok) failed_ = true;
    return ok;
}

void CaptureWriter::Record(capture::Direction direction, const char* bytes, DWORD count, uint64_t timeUs) {
    std::lock_guard<std::mutex> hold(lock_);
    if (file_ == INVALID_HANDLE_VALUE || failed_) return;
    lastUs_ = timeUs > lastUs_ ? timeUs : lastUs_;
    if (WriteBlock(capture::PacketBlock({lastUs_, direction, std::string(bytes, count)}))) ++packets_;
}

void CaptureWriter::Close() {
    std::lock_guard<std::mutex> hold(lock_);
    if (file_ != INVALID_HANDLE_VALUE && ownsFile_) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

bool CaptureWriter::Failed() const {
    std::lock_guard<std::mutex> hold(lock_);
    return failed_;
}

uint64_t CaptureWriter::Packets() const {
    std::lock_guard<std::mutex> hold(lock_);
    return packets_;
}
