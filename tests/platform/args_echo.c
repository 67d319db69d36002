/* A program for the tests of starting programs: writes each of its arguments
 * after the first into the file the first names, one per line, and ends with
 * exit code 7. */
#include <stdio.h>

int main(int argc, char** argv) {
    FILE* out;
    int i;
    if (argc < 2 || (out = fopen(argv[1], "wb")) == NULL)
        return 1;
    for (i = 2; i < argc; i++)
        fprintf(out, "%s\n", argv[i]);
    fclose(out);
    return 7;
}
