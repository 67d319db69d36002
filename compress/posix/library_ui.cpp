// Message boxes and wait cursor of the native build: one line per box on standard error.
#include <cstdio>
#include <cstring>

#include "compress/library_ui.h"

namespace velaset::compress {

void ShowPlatformMessage(const char* title, const char* text) {
    size_t length = std::strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) {
        length--;
    }
    if (title[0] != '\0') {
        std::fprintf(stderr, "%s: %.*s\n", title, static_cast<int>(length), text);
    } else {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(length), text);
    }
}

void* BeginWaitCursor() {
    return nullptr;
}

void EndWaitCursor(void*) {}

} // namespace velaset::compress
