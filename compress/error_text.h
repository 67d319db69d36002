// Texts of the cabinet writer's error codes, as the library's messages show them.
#ifndef VELASET_COMPRESS_ERROR_TEXT_H
#define VELASET_COMPRESS_ERROR_TEXT_H

const char* CabErrorText(int code);

#endif
