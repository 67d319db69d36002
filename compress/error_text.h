// Texts of the cabinet writer's error codes, as the library's messages show them.
#ifndef VELASET_COMPRESS_ERROR_TEXT_H
#define VELASET_COMPRESS_ERROR_TEXT_H

namespace velaset::compress {

const char* CabErrorText(int code);

} // namespace velaset::compress

#endif
