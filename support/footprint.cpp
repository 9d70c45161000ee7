// Footprint filling: remote links say "not available", a key that cannot be opened says "Local".
#include "support/footprint.h"

#include <cstring>
#include <initializer_list>

namespace footprint {
namespace {
void Copy(char* out, const char* text) {
    std::strncpy(out, text ? text : "", FootprintTexts::Size - 1);
    out[FootprintTexts::Size - 1] = '\0';
}
}  // namespace

void Fill(bool connectedLocally, const char* notAvailableText, FootprintRegistry& registry, FootprintTexts& out) {
    out = {};
    if (!connectedLocally) {
        for (char* field : {out.partNumber, out.revision, out.description, out.computerName})
            Copy(field, notAvailableText);
        return;
    }
    if (!registry.OpenOrCreate(ControlKey)) {
        for (char* field : {out.partNumber, out.revision, out.description}) Copy(field, "Local");
        return;
    }
    registry.ReadText("PartNumber", out.partNumber);
    registry.ReadText("Revision", out.revision);
    registry.ReadText("Description", out.description);
    registry.Close();
    if (!registry.OpenOrCreate(ComputerNameKey)) {
        Copy(out.computerName, "Local");
        return;
    }
    registry.ReadText("ComputerName", out.computerName);
    registry.Close();
}
}  // namespace footprint
