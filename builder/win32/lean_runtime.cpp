// Velaset.exe replaces the C++ library's error exits with plain ones. The wizard
// catches no C++ exception: a failure inside the library (out of memory, an index out
// of range) ends the program with a message instead of unwinding. This keeps the
// library's exception texts, their string classes and the symbol demangler (about
// 150 KB) out of a program that must fit before its stub image.
#include <windows.h>

#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what) {
    MessageBoxA(nullptr, what, "Velaset", MB_ICONSTOP | MB_OK);
    ExitProcess(3);
}

} // namespace

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() {
    Fail("Errore interno: programma terminato.");
}
} // namespace __gnu_cxx

namespace std {
[[noreturn]] void __throw_bad_alloc() {
    Fail("Memoria insufficiente.");
}
[[noreturn]] void __throw_bad_array_new_length() {
    Fail("Memoria insufficiente.");
}
[[noreturn]] void __throw_bad_cast() {
    Fail("Errore interno: conversione non valida.");
}
[[noreturn]] void __throw_bad_typeid() {
    Fail("Errore interno: tipo non valido.");
}
[[noreturn]] void __throw_bad_exception() {
    Fail("Errore interno.");
}
[[noreturn]] void __throw_bad_function_call() {
    Fail("Errore interno: funzione assente.");
}
[[noreturn]] void __throw_logic_error(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_domain_error(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_invalid_argument(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_length_error(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_out_of_range(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_out_of_range_fmt(const char* what, ...) {
    Fail(what);
}
[[noreturn]] void __throw_runtime_error(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_range_error(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_overflow_error(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_underflow_error(const char* what) {
    Fail(what);
}
[[noreturn]] void __throw_system_error(int) {
    Fail("Errore di sistema.");
}
} // namespace std

// The allocation functions: the library's own throw std::bad_alloc, which brings in the
// whole unwinder (about 30 KB); these end the program with a message instead.
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    Fail("Memoria insufficiente.");
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

// The library links its strings as two complete copies (about 70 KB); instantiated
// here, function by function, only the members the program calls are kept.
#include <string>
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
