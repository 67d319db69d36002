// Client callbacks of the native build: POSIX files, names in TMPDIR, DOS times and
// attributes as Windows would report them for a fresh copy of the file.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "compress/client.h"

namespace velaset::compress {

namespace {

int NativeFlags(int flags) {
    int native = (flags & 3) == kOpenReadWrite ? O_RDWR : (flags & 3) == 1 ? O_WRONLY : O_RDONLY;
    if (flags & kOpenCreate) {
        native |= O_CREAT;
    }
    if (flags & kOpenTruncate) {
        native |= O_TRUNC;
    }
    if (flags & kOpenExclusive) {
        native |= O_EXCL;
    }
    return native | O_CLOEXEC;
}

// DOS date and time of a local time; times outside 1980-2107 are clamped.
void DosDateTime(time_t when, uint16_t* date, uint16_t* time) {
    struct tm local;
    if (localtime_r(&when, &local) == nullptr || local.tm_year < 80) {
        *date = (1 << 5) | 1;
        *time = 0;
        return;
    }
    if (local.tm_year > 207) {
        *date = (127 << 9) | (12 << 5) | 31;
        *time = (23 << 11) | (59 << 5) | 29;
        return;
    }
    *date = static_cast<uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                  local.tm_mday);
    *time = static_cast<uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

std::atomic<unsigned> gNameCounter{0};

} // namespace

int ClientOpen(const char* path, int flags, int permission, int* err, void*) {
    int handle = ::open(path, NativeFlags(flags), permission & 0777);
    if (handle == -1) {
        *err = errno;
    }
    return handle;
}

int ClientRead(int handle, void* buffer, uint32_t count, int* err, void*) {
    ssize_t n = ::read(handle, buffer, count);
    if (n != static_cast<ssize_t>(count)) {
        *err = errno;
    }
    return static_cast<int>(n);
}

int ClientWrite(int handle, const void* buffer, uint32_t count, int* err, void*) {
    ssize_t n = ::write(handle, buffer, count);
    if (n != static_cast<ssize_t>(count)) {
        *err = errno;
    }
    return static_cast<int>(n);
}

int ClientClose(int handle, int* err, void*) {
    int result = ::close(handle);
    if (result != 0) {
        *err = errno;
    }
    return result;
}

long ClientSeek(int handle, long distance, int origin, int* err, void*) {
    off_t at = ::lseek(handle, distance, origin);
    if (at == -1) {
        *err = errno;
        return -1;
    }
    return static_cast<long>(at);
}

int ClientDelete(const char* path, int* err, void*) {
    int result = std::remove(path);
    if (result != 0) {
        *err = errno;
    }
    return result;
}

bool ClientTempName(char* buffer, int size, void*) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const char* dir = std::getenv("TMPDIR");
    if (dir == nullptr || dir[0] == '\0') {
        dir = "/tmp";
    }
    // Six letters from a mix of the process, the clock and a counter, as mkstemp makes
    // them; the writer's exclusive open catches the rare clash.
    unsigned long long seed =
        (static_cast<unsigned long long>(getpid()) << 32) ^
        static_cast<unsigned long long>(std::time(nullptr)) ^
        (static_cast<unsigned long long>(gNameCounter++) * 0x9E3779B97F4A7C15ull);
    char letters[7];
    for (int i = 0; i < 6; i++) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        letters[i] = kLetters[(seed >> 33) % 62];
    }
    letters[6] = '\0';
    int length = std::snprintf(buffer, size, "%s/xx%s", dir, letters);
    if (length < 0 || length >= size) {
        return false;
    }
    struct stat st;
    return ::lstat(buffer, &st) != 0 && errno == ENOENT;
}

int ClientOpenSource(const char* path, uint16_t* date, uint16_t* time, uint16_t* attributes,
                     int* err, void*) {
    int handle = ::open(path, O_RDONLY | O_CLOEXEC);
    if (handle == -1) {
        *err = errno;
        return -1;
    }
    struct stat st;
    if (::fstat(handle, &st) != 0) {
        *err = errno;
        ::close(handle);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        *err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(handle);
        return -1;
    }
    DosDateTime(st.st_mtime, date, time);
    const uint16_t kReadOnly = 0x01;
    const uint16_t kArchive = 0x20;
    *attributes = kArchive | ((st.st_mode & S_IWUSR) ? 0 : kReadOnly);
    return handle;
}

char ClientPathSeparator() {
    return '/';
}

} // namespace velaset::compress
