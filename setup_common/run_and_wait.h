/* Starting a program and waiting for it. */
#ifndef AVVIORA_RUN_AND_WAIT_H
#define AVVIORA_RUN_AND_WAIT_H

#ifdef __cplusplus
extern "C" {
#endif

/* Runs command_line with its window shown as show (SW_HIDE, SW_SHOWNORMAL, ...)
 * and waits until it has ended; 0 when it cannot be started. */
int RunAndWait(const char* command_line, int show);

#ifdef __cplusplus
}
#endif

#endif
