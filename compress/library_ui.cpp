// The recorder seam shared by both builds of the library's message boxes.
#include "compress/library_ui.h"

namespace velaset::compress {

// Shown on the platform, defined per build.
void ShowPlatformMessage(const char* title, const char* text);

namespace {
MessageRecorder gRecorder = nullptr;
void* gRecorderUser = nullptr;
} // namespace

void SetMessageRecorder(MessageRecorder record, void* user) {
    gRecorder = record;
    gRecorderUser = user;
}

void LibraryMessage(const char* title, const char* text) {
    if (gRecorder != nullptr) {
        gRecorder(title, text, gRecorderUser);
        return;
    }
    ShowPlatformMessage(title, text);
}

} // namespace velaset::compress
