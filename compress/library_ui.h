// What the Compress library shows the user: message boxes and the wait cursor. The
// Windows build uses the system's boxes; natively each box is one line on standard
// error; tests install a recorder.
#ifndef VELASET_COMPRESS_LIBRARY_UI_H
#define VELASET_COMPRESS_LIBRARY_UI_H

namespace velaset::compress {

// Shows a box with no owner, only an OK button and no icon.
void LibraryMessage(const char* title, const char* text);

// Sends every box to `record` instead of the screen; null puts the screen back.
typedef void (*MessageRecorder)(const char* title, const char* text, void* user);
void SetMessageRecorder(MessageRecorder record, void* user);

// Makes the wait cursor current; answers the cursor to put back.
void* BeginWaitCursor();
void EndWaitCursor(void* saved);

} // namespace velaset::compress

#endif
