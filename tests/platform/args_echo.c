/* A program for the tests of starting programs: writes each of its arguments
 * after the first into the file the first names, one per line, and ends with
 * exit code 7. Its standard output says that it did (its caller drops it). */
#include <stdio.h>

int main(int argc, char** argv) {
    FILE* out;
    int i;
    if (argc < 2 || (out = fopen(argv[1], "wb")) == NULL)
        return 1;
    for (i = 2; i < argc; i++)
        fprintf(out, "%s\n", argv[i]);
    fclose(out);
    printf("args_echo: %d argomenti scritti in %s\n", argc - 2, argv[1]);
    return 7;
}
