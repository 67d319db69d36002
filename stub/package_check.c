/* What the stub checks of its own file before anything of it is used: a
 * package that is cut short, damaged or lengthened must end with a message,
 * never with half an installation (the expander would unpack what it can and
 * the INF installer would install it).
 *
 * The builder writes one cabinet with no reserve areas and no neighbours, its
 * data blocks one after the other from the first folder's to its end:
 *   header (36 bytes): "MSCF", ..., cabinet size at 8, folder count at 26,
 *     flags at 30; then the first folder entry, its first block's offset;
 *   data block: checksum, compressed size at 4, uncompressed size, the data.
 *
 * Behind the cabinet a signed package carries what code signing appends: zero
 * bytes up to the next multiple of 8, then the certificate table, one
 * WIN_CERTIFICATE (its length, revision 2.0, PKCS#7 signed data, the
 * signature), padded to a multiple of 8, to the end of the file. The
 * security directory of the program's own header says where the table is;
 * the signature covers the stub image and the cabinet, not the table and
 * that directory. */
#include "avviora.h"

#define WORD_AT(at) (*(const WORD*)(bytes + (at)))
#define DWORD_AT(at) (*(const DWORD*)(bytes + (at)))

int CabinetHeaderIsSound(const BYTE* bytes, DWORD room) {
    DWORD size = DWORD_AT(8), first_block = DWORD_AT(36);
    return DWORD_AT(0) == 0x4643534D && WORD_AT(26) != 0 && WORD_AT(30) == 0 && size <= room &&
           first_block >= CABINET_HEAD && first_block <= size;
}

int BlockIsSound(const BYTE* bytes) {
    /* The checksum: the 32-bit words of the data XORed, the last 1 to 3 bytes
     * folded in as one number, then the word of the two sizes. */
    DWORD sum = DWORD_AT(4), rest = 0, n;
    const BYTE* data = bytes + 8;
    for (n = WORD_AT(4); n >= 4; n -= 4, data += 4)
        sum ^= *(const DWORD*)data;
    while (n--)
        rest = rest << 8 | *data++;
    return (sum ^ rest) == DWORD_AT(0);
}

int TailIsSound(HANDLE own, DWORD at, DWORD end) {
    const IMAGE_NT_HEADERS* headers =
        (const IMAGE_NT_HEADERS*)((const BYTE*)&__ImageBase + __ImageBase.e_lfanew);
    const IMAGE_DATA_DIRECTORY* table =
        &headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY];
    DWORD start = table->VirtualAddress, padding = start - at, got;
    BYTE bytes[16];
    if (start == 0 && table->Size == 0)
        return at == end; /* unsigned: nothing behind the cabinet */
    /* The padding and the header of the one certificate. */
    if (start != ((at + 7) & ~7u) || start > end || table->Size != end - start ||
        !ReadFile(own, bytes, padding + 8, &got, NULL) || got != padding + 8)
        return 0;
    while (padding--)
        if (bytes[padding])
            return 0;
    at = start - at;
    return ((DWORD_AT(at) + 7) & ~7u) == table->Size && DWORD_AT(at) > 8 &&
           DWORD_AT(at + 4) == 0x00020200;
}
