// Message dispatch of the window framework: object lookup, table search, deferred final message.
#include "support/window_win.h"

QV_IMPLEMENT_RUNTIME_CLASS(Window, Object::classObject)

namespace {
constexpr char kObjectProperty[] = "QuorvexWindowObject";
// The object whose window is being created on this thread: messages arrive before CreateWindowEx returns.
thread_local Window* creating = nullptr;
// Dispatches of framework windows under way on this thread, and the windows gone meanwhile: a
// parent's object (and the children it embeds) may only go once no handler of any of them is
// still on the stack, for example a key whose click ran a modal box that closed the window.
thread_local int dispatching = 0;
constexpr int kMaxGone = 64;
thread_local Window* gone[kMaxGone];
thread_local int goneCount = 0;
}  // namespace

const MessageMap Window::messageMap_ = {nullptr, Window::messageEntries_};
const MessageEntry Window::messageEntries_[] = {
    {WM_DRAWITEM, AnyCode, 0, 0xFFFFFFFFu, &Window::OnDrawItemMessage},
    {0, 0, 0, 0, nullptr}};

Window::~Window() {
    ForgetGone(this);
    if (hwnd_) {
        HWND h = hwnd_;
        Detach();
        DestroyWindow(h);
    }
}

bool Window::RegisterClass(WNDCLASSEXA wc) {
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Window::StaticProc;
    return RegisterClassExA(&wc) != 0;
}

bool Window::IsClassRegistered(const char* className) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    return GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc) != 0;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId) {
    Window* outer = creating;
    creating = this;
    HWND h = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                             GetModuleHandleA(nullptr), this);
    creating = outer;
    if (h && !hwnd_) Attach(h);
    return h != nullptr;
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void Window::DrawItem(const DRAWITEMSTRUCT&) {}

LRESULT Window::OnDrawItemMessage(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item && item->CtlType != ODT_MENU) {
        if (Window* child = FromHandle(item->hwndItem)) {
            child->DrawItem(*item);
            return TRUE;
        }
    }
    return Default();
}

LRESULT Window::Default() {
    return CallWindowProcA(baseProc_, hwnd_, current_.message, current_.wParam, current_.lParam);
}

void Window::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropA(hwnd, kObjectProperty, this);
}

void Window::Detach() {
    if (hwnd_) RemovePropA(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
}

const MessageEntry* Window::FindEntry(UINT message, WPARAM wParam, LPARAM lParam) const {
    UINT id = 0;
    UINT code = 0;
    if (message == WM_COMMAND) {
        id = LOWORD(wParam);
        code = HIWORD(wParam);
    } else if (message == WM_NOTIFY && lParam) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        id = static_cast<UINT>(header->idFrom);
        code = header->code;
    }
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const MessageEntry* e = map->entries; e->handler; ++e) {
            if (e->message != message) continue;
            if (message == WM_COMMAND || message == WM_NOTIFY) {
                if (id < e->idFirst || id > e->idLast) continue;
                if (e->code != AnyCode && e->code != code) continue;
            }
            return e;
        }
    }
    return nullptr;
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const Current outer = current_;
    current_ = {message, wParam, lParam};
    ++depth_;
    ++dispatching;
    LRESULT result;
    if (const MessageEntry* e = FindEntry(message, wParam, lParam))
        result = (this->*(e->handler))(wParam, lParam);
    else
        result = Default();
    current_ = outer;
    --depth_;
    --dispatching;
    if (message == WM_NCDESTROY) {
        Detach();
        if (goneCount < kMaxGone) {
            gone[goneCount++] = this;
        } else {
            OnFinalMessage();  // not expected: more windows gone at once than the list holds
            return result;
        }
    }
    if (dispatching == 0) RunFinalMessages();
    return result;
}

Window::Hold::Hold() { ++dispatching; }

Window::Hold::~Hold() {
    if (--dispatching == 0) RunFinalMessages();
}

// First gone, first served: children are gone before their parent, whose final message may
// delete them.
void Window::RunFinalMessages() {
    while (goneCount > 0) {
        Window* w = gone[0];
        ForgetGone(w);
        w->OnFinalMessage();  // may delete w
    }
}

void Window::ForgetGone(Window* w) {
    int kept = 0;
    for (int i = 0; i < goneCount; ++i)
        if (gone[i] != w) gone[kept++] = gone[i];
    goneCount = kept;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = FromHandle(hwnd);
    if (!self && creating && !creating->hwnd_) {
        self = creating;
        self->Attach(hwnd);
    }
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    return self->Dispatch(message, wParam, lParam);
}
