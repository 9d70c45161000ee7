// GDI object wrapper of the framework: owns one GDI handle and deletes it when destroyed.
#pragma once
#include <windows.h>

#include "support/runtime_class.h"

class GdiObject : public Object {
    QV_DECLARE_RUNTIME_CLASS(GdiObject)
public:
    GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() override { DeleteHandle(); }

    HGDIOBJ Handle() const { return handle_; }

protected:
    // Takes ownership; a handle held before is deleted.
    void Attach(HGDIOBJ handle) {
        DeleteHandle();
        handle_ = handle;
    }
    void DeleteHandle() {
        if (handle_) DeleteObject(handle_);
        handle_ = nullptr;
    }

private:
    HGDIOBJ handle_ = nullptr;
};
