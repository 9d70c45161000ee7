// Run-time class names for the system's classes (Frame, DIB, HMIButton) without RTTI.
#pragma once

struct RuntimeClass {
    const char* name;
    const RuntimeClass* base;
};

class Object {
public:
    virtual const RuntimeClass* GetRuntimeClass() const { return &classObject; }
    virtual ~Object() = default;
    virtual void Serialize() {}

    bool IsKindOf(const RuntimeClass* wanted) const {
        for (const RuntimeClass* c = GetRuntimeClass(); c; c = c->base)
            if (c == wanted) return true;
        return false;
    }

    static const RuntimeClass classObject;
};

inline const RuntimeClass Object::classObject = {"Object", nullptr};

// Declares and defines a class's run-time class record; the name is the class's own name.
#define QV_DECLARE_RUNTIME_CLASS(cls)                                                     \
public:                                                                                   \
    static const RuntimeClass class##cls;                                                 \
    const RuntimeClass* GetRuntimeClass() const override { return &class##cls; }

#define QV_IMPLEMENT_RUNTIME_CLASS(cls, baseRecord) \
    const RuntimeClass cls::class##cls = {#cls, &baseRecord};
