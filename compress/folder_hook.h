// The hook through which the writer's owner plugs another way of filling the open folder
// into the writer: folders compressed ahead on other threads, for one. The writer calls
// it at three points and knows nothing of what stands behind it; the hook works on the
// open folder and its spill files, the layers below the writer, and never calls the
// writer back. Without a hook the writer fills every folder itself.
#ifndef VELASET_COMPRESS_FOLDER_HOOK_H
#define VELASET_COMPRESS_FOLDER_HOOK_H

#include "compress/cabinet_client.h"
#include "compress/open_folder.h"

namespace velaset::compress {

enum FolderHookAnswer {
    kHookFailed, // the error record says why; the writer's call fails
    kHookDone,   // the file's data is in the folder and *record describes it
    kHookPass,   // the writer adds the file's data itself
};

// Every function receives the user value given at installation, and the writer's client,
// whose error record a failure fills.
struct FolderHook {
    // A file goes into the open folder (set up for its compression type). The hook may
    // leave the folder as FolderAddFileData would have left it and answer kHookDone;
    // either way the writer then appends the file's record.
    FolderHookAnswer (*addFile)(void* user, CabinetClient* client, OpenFolder* folder,
                                const char* sourcePath, ClientOpenSourceFn openSource,
                                ClientProgressFn progress, FileRecord* record);
    // The open folder is about to be closed: afterwards it must hold the data of every
    // file added to it, spilled or still gathered, as if the writer had added them all.
    bool (*beforeClose)(void* user, CabinetClient* client, OpenFolder* folder,
                        ClientProgressFn progress);
    // The writer is being destroyed: the hook ends its work and releases what it holds.
    // Called once, and nothing of the hook is called after it.
    void (*stop)(void* user, CabinetClient* client);
};

} // namespace velaset::compress

#endif
