/* The check of the copied cabinet before anything of it is used: a package
 * that is cut short or damaged must end with a message, never with half an
 * installation (the expander would unpack what it can and the INF installer
 * would install it). The builder writes one cabinet with no reserve areas and
 * no neighbours, its data blocks one after the other from the first folder's
 * to the end of the file, so that is what this accepts:
 *   header (36 bytes): "MSCF", ..., cabinet size at 8, folder count at 26,
 *     flags at 30; then the first folder entry, its first block's offset;
 *   data block: checksum, compressed size at 4, uncompressed size, the data. */
#include "avviora.h"

/* A data block (at most 65535 bytes) behind its 8-byte header. */
static BYTE s_block[8 + 65536];
static HANDLE s_file;

#define WORD_AT(at) (*(WORD*)(s_block + (at)))
#define DWORD_AT(at) (*(DWORD*)(s_block + (at)))

/* Reads the next size bytes of the file into s_block + at; 0 when it has fewer. */
static int ReadNext(DWORD at, DWORD size) {
    DWORD got;
    return ReadFile(s_file, s_block + at, size, &got, NULL) && got == size;
}

int CabinetIsSound(const char* path) {
    DWORD size, at, sum, rest, n;
    const BYTE* data;
    int ok;
    s_file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    size = GetFileSize(s_file, NULL);
    ok = ReadNext(0, 44) && DWORD_AT(0) == 0x4643534D && DWORD_AT(8) == size &&
         WORD_AT(26) != 0 && WORD_AT(30) == 0;
    at = DWORD_AT(36);
    ok = ok && SetFilePointer(s_file, (LONG)at, NULL, FILE_BEGIN) == at;
    while (ok && at < size) {
        /* The checksum: the 32-bit words of the data XORed, the last 1 to 3
         * bytes folded in as one number, then the word of the two sizes. */
        ok = ReadNext(0, 8) && ReadNext(8, WORD_AT(4));
        sum = DWORD_AT(4);
        rest = 0;
        data = s_block + 8;
        for (n = WORD_AT(4); n >= 4; n -= 4, data += 4)
            sum ^= *(const DWORD*)data;
        while (n--)
            rest = rest << 8 | *data++;
        ok = ok && (sum ^ rest) == DWORD_AT(0);
        at += 8 + WORD_AT(4);
    }
    CloseHandle(s_file);
    return ok && at == size;
}
