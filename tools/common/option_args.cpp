// Option walking and decimal values.
#include "tools/common/option_args.h"

#include <cstring>

#include "tools/common/texts.h"

unsigned WalkOptions(int argc, const char* const* argv, int first, const OptionDef* defs, size_t count,
                     const std::function<unsigned(int id, const char* value)>& apply, std::string& detail) {
    for (int i = first; i < argc; ++i) {
        const OptionDef* found = nullptr;
        for (size_t d = 0; d < count; ++d) {
            if (std::strcmp(argv[i], defs[d].name) == 0) found = &defs[d];
        }
        detail = argv[i];
        if (!found) return tool_text::UnknownOption;
        const char* value = "";
        if (found->takesValue) {
            if (i + 1 >= argc) return tool_text::MissingOptionValue;
            value = argv[++i];
            detail += std::string(" ") + value;
        }
        unsigned id = apply(found->id, value);
        if (id != tool_text::Ok) return id;
    }
    detail.clear();
    return tool_text::Ok;
}

int64_t DecimalArg(const char* text, int64_t low, int64_t high) {
    int64_t value = 0;
    if (*text == '\0') return -1;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return -1;
        value = value * 10 + (*p - '0');
        if (value > high) return -1;
    }
    return value < low ? -1 : value;
}
