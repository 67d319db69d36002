/* Constants shared by the builder, the installer stub and the setup runtime.
 * Plain C so that the stub and the runtime, which do without the C++ library,
 * can include it too. */
#ifndef VELASET_COMMON_CONSTANTS_H
#define VELASET_COMMON_CONSTANTS_H

/* Size of the installer stub's program image; the cabinet of a setup
 * executable starts at this offset. */
#define STUB_IMAGE_SIZE 14336

/* Size of the 64-bit installer stub's program image (Avviora64.exe), the
 * head of an x64 package; its cabinet starts at this offset. */
#define STUB64_IMAGE_SIZE 17408

/* Offset of the stub image inside the wizard's own program file: the size
 * reserved for the builder image. Avviora.exe starts there and Avviora64.exe
 * follows it (builder/wizard/stub_images.h). */
#define STUB_OFFSET_IN_BUILDER 318976

/* The same in the 64-bit wizard's program file. */
#define STUB_OFFSET_IN_BUILDER64 299008

/* The builder appends the cabinet in blocks of this size. */
#define COPY_BLOCK_SIZE 8000

/* Largest size of one cabinet file that the builder asks for. */
#define CABINET_SIZE_LIMIT 145000000u

/* Largest file a cabinet holds: the builder packs each file in a folder of its own,
 * and a folder holds at most this many bytes before compression (the cabinet
 * library's own limit, compress/cabinet_format.h). */
#define CABINET_FILE_LIMIT 0x7FFF8000u

/* Byte that stands for a line break inside a one-line value of the project file
 * and the setup script (the pilcrow sign in Windows-1252); the installer shows it
 * as CR LF. */
#define LINE_BREAK_MARK '\xB6'

#define VELASET_VERSION_TEXT "0.1.0"

#endif
