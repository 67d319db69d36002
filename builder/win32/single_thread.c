/* Velaset.exe runs on one thread. The C++ runtime's exception support still asks for
 * a few thread services (a one-time initialisation, locks, per-thread values); these
 * single-threaded versions stand in for the thread library, which would cost about
 * 32 KB of the space reserved before the stub image. */
#include <stddef.h>

#define VELASET_THREAD_KEYS 16

static void* key_values[VELASET_THREAD_KEYS];
static unsigned key_count;

int pthread_once(long* once, void (*init)(void)) {
    if (*once == 0) {
        *once = 1;
        init();
    }
    return 0;
}

int pthread_mutex_init(void** mutex, const void* attributes) {
    (void)attributes;
    *mutex = NULL;
    return 0;
}

int pthread_mutex_lock(void** mutex) {
    (void)mutex;
    return 0;
}

int pthread_mutex_unlock(void** mutex) {
    (void)mutex;
    return 0;
}

int pthread_key_create(unsigned* key, void (*destructor)(void*)) {
    (void)destructor;
    if (key_count >= VELASET_THREAD_KEYS) {
        return 11; /* EAGAIN */
    }
    *key = key_count++;
    return 0;
}

void* pthread_getspecific(unsigned key) {
    return key < VELASET_THREAD_KEYS ? key_values[key] : NULL;
}

int pthread_setspecific(unsigned key, const void* value) {
    if (key >= VELASET_THREAD_KEYS) {
        return 22; /* EINVAL */
    }
    key_values[key] = (void*)value;
    return 0;
}

int pthread_mutex_destroy(void** mutex) {
    (void)mutex;
    return 0;
}
