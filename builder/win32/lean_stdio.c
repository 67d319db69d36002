/* Velaset.exe formats and reads numbers with the system C runtime (MSVCRT.dll) instead
 * of the compiler's own C99 printf and strtod, which would cost about 40 KB of the
 * space reserved before the stub image. The program formats only plain texts and
 * whole numbers ("%s", "%lx"), which both runtimes print alike. */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

int __mingw_vfprintf(FILE* stream, const char* format, va_list arguments) {
    return vfprintf(stream, format, arguments);
}

/* C99 semantics: the text is always terminated, the result is the full length. */
int __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments) {
    va_list counting;
    va_copy(counting, arguments);
    int length = _vscprintf(format, counting);
    va_end(counting);
    if (size > 0) {
        _vsnprintf(buffer, size, format, arguments);
        buffer[size - 1 < (size_t)length ? size - 1 : (size_t)length] = '\0';
    }
    return length;
}

double __mingw_strtod(const char* text, char** end) { return strtod(text, end); }
