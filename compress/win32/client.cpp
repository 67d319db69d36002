// Client callbacks of the Windows build: the C runtime's low-level files and temporary
// names, source information from CreateFileA and GetFileInformationByHandle.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>

#include "compress/client.h"

namespace velaset::compress {

namespace {

int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    default:
        return EIO;
    }
}

} // namespace

int ClientOpen(const char* path, int flags, int permission, int* err, void*) {
    int handle = _open(path, flags, permission);
    if (handle == -1) {
        *err = errno;
    }
    return handle;
}

int ClientRead(int handle, void* buffer, uint32_t count, int* err, void*) {
    int n = _read(handle, buffer, count);
    if (n != static_cast<int>(count)) {
        *err = errno;
    }
    return n;
}

int ClientWrite(int handle, const void* buffer, uint32_t count, int* err, void*) {
    int n = _write(handle, buffer, count);
    if (n != static_cast<int>(count)) {
        *err = errno;
    }
    return n;
}

int ClientClose(int handle, int* err, void*) {
    int result = _close(handle);
    if (result != 0) {
        *err = errno;
    }
    return result;
}

long ClientSeek(int handle, long distance, int origin, int* err, void*) {
    long at = _lseek(handle, distance, origin);
    if (at == -1) {
        *err = errno;
    }
    return at;
}

int ClientDelete(const char* path, int* err, void*) {
    int result = std::remove(path);
    if (result != 0) {
        *err = errno;
    }
    return result;
}

bool ClientTempName(char* buffer, int size, void*) {
    // An empty directory makes the runtime use the folder named by TMP.
    char* name = _tempnam("", "xx");
    if (name == nullptr) {
        return false;
    }
    bool fits = std::strlen(name) < static_cast<size_t>(size);
    if (fits) {
        std::strcpy(buffer, name);
    }
    std::free(name);
    return fits;
}

int ClientOpenSource(const char* path, uint16_t* date, uint16_t* time, uint16_t* attributes,
                     int* err, void*) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *err = ErrnoOf(GetLastError());
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        *err = ErrnoOf(GetLastError());
        CloseHandle(file);
        return -1;
    }
    FILETIME local;
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (!FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
        dosDate = (1 << 5) | 1; // 1980-01-01, the earliest DOS date
        dosTime = 0;
    }
    *date = dosDate;
    *time = dosTime;
    DWORD found = GetFileAttributesA(path);
    *attributes = found == INVALID_FILE_ATTRIBUTES ? 0 : static_cast<uint16_t>(found & 0x27);
    CloseHandle(file);
    int handle = _open(path, _O_BINARY | _O_RDONLY);
    if (handle == -1) {
        *err = errno;
    }
    return handle;
}

char ClientPathSeparator() {
    return '\\';
}

} // namespace velaset::compress
