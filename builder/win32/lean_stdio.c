/* Velaset.exe formats and reads numbers with the system C runtime (MSVCRT.dll) instead
 * of the compiler's own C99 printf and strtod, which cost about 43 KB of the space
 * reserved before the stub image. The program formats only plain texts and whole
 * numbers ("%s", "%lx") and reads plain decimal numbers, which both runtimes treat
 * alike. The MSVCRT functions are called through their import entries: by name, the
 * headers would send strtod and printf back here. */
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>

extern int(__cdecl* _imp__vfprintf)(FILE*, const char*, va_list);
extern int(__cdecl* _imp___vsnprintf)(char*, size_t, const char*, va_list);
extern int(__cdecl* _imp___vscprintf)(const char*, va_list);
extern double(__cdecl* _imp__strtod)(const char*, char**);

int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
    return _imp__vfprintf(stream, format, arguments);
}

/* C99 semantics: the text is always terminated, the result is the full length. */
int __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments) {
    va_list counting;
    va_copy(counting, arguments);
    int length = _imp___vscprintf(format, counting);
    va_end(counting);
    if (size > 0 && length >= 0) {
        _imp___vsnprintf(buffer, size, format, arguments);
        buffer[(size_t)length < size ? (size_t)length : size - 1] = '\0';
    }
    return length;
}

double __mingw_strtod(const char* text, char** end) {
    return _imp__strtod(text, end);
}
