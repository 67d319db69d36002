// The client as the cabinet writer sees it: the callback table, the context value that
// goes back to the callbacks, and the error record that every failure fills. The bottom
// layer of the writer: everything above reaches memory and files through it.
#ifndef VELASET_COMPRESS_CABINET_CLIENT_H
#define VELASET_COMPRESS_CABINET_CLIENT_H

#include <cstdint>

#include "compress/cabinet_types.h"

namespace velaset::compress {

struct CabinetClient {
    CabinetCallbacks cb;
    void* context; // handed back to every callback but alloc and release
    CabError* err;
};

// Fills the error record; always answers false so that callers can return it.
bool CabFail(CabinetClient* client, int code, int detail);

// Memory from the client; a refusal fills the error record with code 3.
void* CabAlloc(CabinetClient* client, uint32_t size);
// Gives memory back to the client; null is ignored.
void CabRelease(CabinetClient* client, void* memory);

} // namespace velaset::compress

#endif
