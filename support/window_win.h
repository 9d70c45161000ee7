// Window base of the framework: one static window procedure that finds the object and
// dispatches through the class's static message table, chaining to the base class's table.
#pragma once
#include <windows.h>

#include "support/runtime_class.h"

class Window;
using MessageHandler = LRESULT (Window::*)(WPARAM, LPARAM);

// For WM_COMMAND and WM_NOTIFY entries, idFirst..idLast and code select the sender;
// AnyCode matches every notification code.
struct MessageEntry {
    UINT message;
    UINT code;
    UINT idFirst;
    UINT idLast;
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* base;
    const MessageEntry* entries;  // ends with an entry whose handler is null
};

constexpr UINT AnyCode = 0xFFFFFFFFu;

#define QV_DECLARE_MESSAGE_MAP()                                              \
protected:                                                                    \
    static const MessageEntry messageEntries_[];                             \
    static const MessageMap messageMap_;                                      \
    const MessageMap* GetMessageMap() const override { return &messageMap_; }

#define QV_BEGIN_MESSAGE_MAP(cls, base)                                       \
    const MessageMap cls::messageMap_ = {&base::messageMap_, cls::messageEntries_}; \
    const MessageEntry cls::messageEntries_[] = {
#define QV_ON_MESSAGE(cls, msg, fn) {msg, AnyCode, 0, 0xFFFFFFFFu, static_cast<MessageHandler>(&cls::fn)},
#define QV_ON_COMMAND(cls, id, fn) {WM_COMMAND, AnyCode, id, id, static_cast<MessageHandler>(&cls::fn)},
#define QV_ON_COMMAND_RANGE(cls, first, last, code, fn) \
    {WM_COMMAND, code, first, last, static_cast<MessageHandler>(&cls::fn)},
#define QV_END_MESSAGE_MAP() {0, 0, 0, 0, nullptr}};

class Window : public Object {
    QV_DECLARE_RUNTIME_CLASS(Window)
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() override;

    HWND Handle() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

    // Registers a window class whose procedure is the framework's; other fields as given.
    static bool RegisterClass(WNDCLASSEXA wc);
    static bool IsClassRegistered(const char* className);

    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId);
    void Destroy();

    static Window* FromHandle(HWND hwnd);

    // Owner-draw request reflected from the parent (WM_DRAWITEM).
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    virtual const MessageMap* GetMessageMap() const { return &messageMap_; }

    // Default processing of the message being dispatched.
    virtual LRESULT Default();

    // Runs once after the window is gone and no handler of any framework window of this thread
    // is still on the stack, so that a handler running a modal loop never returns into a
    // deleted object, nor a child's handler into its deleted parent.
    virtual void OnFinalMessage() {}

    // The procedure the framework falls back to: DefWindowProcA or a system class's procedure.
    void SetBaseProcedure(WNDPROC proc) { baseProc_ = proc; }

    // Counts as a handler on the stack for a stretch outside any handler that runs modal loops
    // (a window may be destroyed inside them); pending final messages run when the hold ends.
    class Hold {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    UINT CurrentMessage() const { return current_.message; }
    bool IsDispatching() const { return depth_ > 0; }

    LRESULT OnDrawItemMessage(WPARAM, LPARAM);

    static const MessageEntry messageEntries_[];
    static const MessageMap messageMap_;

    HWND hwnd_ = nullptr;

private:
    struct Current {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    const MessageEntry* FindEntry(UINT message, WPARAM wParam, LPARAM lParam) const;
    void Attach(HWND hwnd);
    void Detach();
    static void RunFinalMessages();
    static void ForgetGone(Window* w);

    friend class Dialog;

    WNDPROC baseProc_ = DefWindowProcA;
    Current current_ = {0, 0, 0};
    int depth_ = 0;
};
