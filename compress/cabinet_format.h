// Byte layout of the cabinet structures the writer produces (no reserve areas).
#ifndef VELASET_COMPRESS_CABINET_FORMAT_H
#define VELASET_COMPRESS_CABINET_FORMAT_H

#include <cstdint>

namespace velaset::compress {

// CFHEADER, 36 bytes:
//   0 signature "MSCF"      4 reserved 0         8 cbCabinet (whole file)
//  12 reserved 0           16 coffFiles          20 reserved 0
//  24 version minor 3      25 version major 1    26 cFolders (16)
//  28 cFiles (16)          30 flags (16)         32 setID (16)    34 iCabinet (16)
// followed, as flagged, by the previous cabinet and disk names, then the next ones.
const uint32_t kHeaderSize = 36;
const uint16_t kFlagPrevCabinet = 0x0001;
const uint16_t kFlagNextCabinet = 0x0002;

// CFFOLDER, 8 bytes: coffCabStart (32), cCFData (16), typeCompress (16).
const uint32_t kFolderEntrySize = 8;

// CFFILE, 16 bytes then the name and its zero:
//   0 cbFile (32)  4 uoffFolderStart (32)  8 iFolder (16)  10 date  12 time  14 attribs
const uint32_t kFileEntrySize = 16;
const uint16_t kFolderContinuedFromPrev = 0xFFFD;
const uint16_t kFolderContinuedToNext = 0xFFFE;
const uint16_t kFolderContinuedBoth = 0xFFFF;

// CFDATA, 8 bytes then cbData compressed bytes:
//   0 csum (32)  4 cbData (16)  6 cbUncomp (16)
const uint32_t kDataHeaderSize = 8;

// Uncompressed bytes per data block.
const uint32_t kBlockSize = 32768;

// Longest name a record may carry, without its zero.
const uint32_t kMaxNameLength = 255;

// Largest uncompressed folder the format allows (iFolder offsets stay below 2 GiB).
const uint32_t kMaxFolderBytes = 0x7FFF8000;

// Largest spill or cabinet file: offsets are seeked as signed 32-bit values.
const uint32_t kMaxFileBytes = 0x7FFFFFFF;

inline void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}
inline uint32_t Get16(const uint8_t* p) {
    return p[0] | (uint32_t(p[1]) << 8);
}
inline uint32_t Get32(const uint8_t* p) {
    return Get16(p) | (Get16(p + 2) << 16);
}

} // namespace velaset::compress

#endif
