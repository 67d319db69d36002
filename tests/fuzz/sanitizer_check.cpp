// Proves that the checked tree really is checked: each case commits one fault that
// the sanitizers must report. CTest expects the report, so a tree built without the
// sanitizers fails these cases instead of passing silently.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const char* fault = argc > 1 ? argv[1] : "";
    // The size comes from the command line so that the compiler cannot see the fault.
    int size = argc > 2 ? std::atoi(argv[2]) : 8;
    if (std::strcmp(fault, "heap-overflow") == 0) {
        char* block = static_cast<char*>(std::malloc(size));
        std::memset(block, 0, size);
        int past_end = block[size];
        std::free(block);
        return past_end;
    }
    if (std::strcmp(fault, "signed-overflow") == 0) {
        int big = INT_MAX - 1 + (size > 0 ? 1 : 0);
        return big + size > 0 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: sanitizer_check heap-overflow|signed-overflow\n");
    return 2;
}
