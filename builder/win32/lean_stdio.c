/* Velaset.exe formats and reads numbers with the system C runtime (MSVCRT.dll) instead
 * of the compiler's own C99 printf and strtod, which cost about 43 KB of the space
 * reserved before the stub image. The program formats only plain texts and whole
 * numbers ("%s", "%lx") and reads plain decimal numbers, which both runtimes treat
 * alike. The MSVCRT functions are called through their import entries: by name, the
 * headers would send strtod and printf back here. */
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>

/* The import entry of a function: "__imp_" + its symbol, which on 32 bits carries a
 * leading underscore of its own. */
#if defined(_WIN64)
#define IMPORT_ENTRY(name) __imp_##name
#else
#define IMPORT_ENTRY(name) _imp__##name
#endif

extern int(__cdecl* IMPORT_ENTRY(vfprintf))(FILE*, const char*, va_list);
extern int(__cdecl* IMPORT_ENTRY(_vsnprintf))(char*, size_t, const char*, va_list);
extern int(__cdecl* IMPORT_ENTRY(_vscprintf))(const char*, va_list);
extern double(__cdecl* IMPORT_ENTRY(strtod))(const char*, char**);

int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
    return IMPORT_ENTRY(vfprintf)(stream, format, arguments);
}

/* C99 semantics: the text is always terminated, the result is the full length. */
int __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments) {
    va_list counting;
    va_copy(counting, arguments);
    int length = IMPORT_ENTRY(_vscprintf)(format, counting);
    va_end(counting);
    if (size > 0 && length >= 0) {
        IMPORT_ENTRY(_vsnprintf)(buffer, size, format, arguments);
        buffer[(size_t)length < size ? (size_t)length : size - 1] = '\0';
    }
    return length;
}

double __mingw_strtod(const char* text, char** end) {
    return IMPORT_ENTRY(strtod)(text, end);
}
