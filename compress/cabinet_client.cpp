// The writer's errors and memory, through its client.
#include "compress/cabinet_client.h"

namespace velaset::compress {

bool CabFail(CabinetClient* client, int code, int detail) {
    client->err->code = code;
    client->err->detail = detail;
    client->err->failed = 1;
    return false;
}

void* CabAlloc(CabinetClient* client, uint32_t size) {
    void* memory = client->cb.alloc(size);
    if (memory == nullptr) {
        CabFail(client, kCabOutOfMemory, 0);
    }
    return memory;
}

void CabRelease(CabinetClient* client, void* memory) {
    if (memory != nullptr) {
        client->cb.release(memory);
    }
}

} // namespace velaset::compress
