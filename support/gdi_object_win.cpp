// Run-time class record of the GDI object wrapper.
#include "support/gdi_object_win.h"

QV_IMPLEMENT_RUNTIME_CLASS(GdiObject, Object::classObject)
