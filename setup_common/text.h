/* Bounded text helpers of the stub and the runtime: no buffer is ever
 * written past its size; a text that does not fit is cut. */
#ifndef AVVIORA_TEXT_H
#define AVVIORA_TEXT_H

#ifdef __cplusplus
extern "C" {
#endif

/* Appends src to dst (size bytes in all) as far as it fits. */
void TextAppend(char* dst, int size, const char* src);

/* Writes first, then second, into out (size bytes in all) as far as they fit. */
void TextJoin(char* out, int size, const char* first, const char* second);

/* 1 when name is one plain file name: not empty, no folder separator,
 * no drive, not "." or "..". */
int IsPlainFileName(const char* name);

#ifdef __cplusplus
}
#endif

#endif
