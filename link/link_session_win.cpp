// The session's start and close orders, the queueing of commands, and the shared platform parts.
#include "link/link_session_win.h"

#include <new>

#include "link/link_text_win.h"
#include "link/pipe_io_win.h"
#include "link/reader_thread_win.h"
#include "protocol/command_table.h"

bool LinkSession::Start(HANDLE readPipe, HANDLE writePipe, const Listeners& listeners, PipeSource* reads) {
    OutboundPath* outbound = OutboundPath::Start(writePipe, listeners.writeLoss);
    if (!outbound) return false;
    auto* context = new (std::nothrow) ReaderContext(readPipe, outbound, listeners.display, listeners.readLoss, reads);
    if (!context) {
        outbound->Stop();
        outbound->Release();
        return false;
    }
    // Queued before the reader can answer anything: the greeting is the first thing the control
    // gets, however early it asks.
    for (const PanelCommand& command : commands::Greeting) {
        char bytes[CommandBufferSize];
        outbound->Add(bytes, EncodeCommand(command, bytes));
    }
    // The handles are the session's before the thread can run, so that Close always finds them.
    readPipe_ = readPipe;
    writePipe_ = writePipe;
    outbound_ = outbound;
    HANDLE thread = reader_thread::Start(context);
    if (!thread) {
        readPipe_ = nullptr;
        writePipe_ = nullptr;
        outbound_ = nullptr;
        outbound->Stop();
        outbound->Release();
        context->Release();
        return false;
    }
    thread_ = thread;
    reader_ = context;
    return true;
}

void LinkSession::KeepNetworkConnection(const char* remoteName, network_access::Canceller cancel) {
    lstrcpynA(ownConnection_, remoteName, sizeof(ownConnection_));
    cancel_ = cancel;
}

void LinkSession::Close() {
    // The writer first: a write the control does not take is broken at once.
    const StopOutcome writer = outbound_ ? outbound_->Stop() : StopOutcome::Ended;
    const StopOutcome reader = thread_ ? reader_thread::Stop(thread_, reader_) : StopOutcome::Ended;
    thread_ = nullptr;
    // A thread left in a call that ignored the stop keeps its pipe and closes it once the call
    // returns; every other pipe is closed here.
    if (reader == StopOutcome::LeftBehind && reader_)
        reader_->ClosePipeOnRelease();
    else if (readPipe_)
        CloseHandle(readPipe_);
    if (writer == StopOutcome::LeftBehind && outbound_)
        outbound_->ClosePipeOnRelease();
    else if (writePipe_)
        CloseHandle(writePipe_);
    readPipe_ = writePipe_ = nullptr;
    if (reader_) {
        reader_->Release();
        reader_ = nullptr;
    }
    if (outbound_) {
        outbound_->Release();
        outbound_ = nullptr;
    }
    if (ownConnection_[0] && cancel_) cancel_(ownConnection_);
    ownConnection_[0] = '\0';
}

int32_t LinkSession::QueueCommand(const PanelCommand& command, LostControlReporter* reporter, uint64_t* ticket) {
    char bytes[CommandBufferSize];
    const int length = EncodeCommand(command, bytes);
    if (length == 0) return 0;
    Queue(bytes, length, reporter, ticket);
    return 1;
}

void LinkSession::QueueBytes(const char* bytes, int32_t count, LostControlReporter* reporter, uint64_t* ticket) {
    Queue(bytes, count, reporter, ticket);
}

void LinkSession::Queue(const char* bytes, int32_t count, LostControlReporter* reporter, uint64_t* ticket) {
    // Every road reports alike: a key byte or a Branch To lost to a gone pipe is no less lost.
    const OutboundQueue::Added added = outbound_ ? outbound_->Add(bytes, count, ticket) : OutboundQueue::Added::Gone;
    const bool refused = added == OutboundQueue::Added::Gone || added == OutboundQueue::Added::Overflow;
    if (refused && reporter) reporter->ReportLostControl();
}

OutboundQueue::Backlog LinkSession::Backlog() const {
    return outbound_ ? outbound_->Waiting() : OutboundQueue::Backlog{0, 0};
}

const char* PipeConnectPlatform::LoadText(unsigned textId) { return link_text::Load(textId, text_, sizeof(text_)); }

bool PipeConnectPlatform::NetworkConnectionExists(const char* remoteName) {
    return !network_.exists || network_.exists(remoteName);
}

connect_logic::PipeHandle PipeConnectPlatform::OpenPipe(const char* name, connect_logic::PipeAccess access) {
    return pipe_io::OpenPipe(name, access);
}

void PipeConnectPlatform::ClosePipe(connect_logic::PipeHandle pipe) { pipe_io::ClosePipe(pipe); }

bool SessionConnectPlatform::AddNetworkConnection(const char* remoteName) {
    return Network().connect && Network().connect(nullptr, remoteName, nullptr, nullptr) == NO_ERROR;
}

void SessionConnectPlatform::KeepNetworkConnection(const char* remoteName) {
    session_.KeepNetworkConnection(remoteName, Network().cancel);
}

bool SessionConnectPlatform::StartReader(connect_logic::PipeHandle readPipe, connect_logic::PipeHandle writePipe) {
    return session_.Start(readPipe, writePipe, listeners_);
}
