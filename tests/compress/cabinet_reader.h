// Test support: reads a cabinet into its parts and checks what the format demands
// of every cabinet (signature, sizes, offsets, checksums), so tests can look at fields.
#ifndef VELASET_TESTS_COMPRESS_CABINET_READER_H
#define VELASET_TESTS_COMPRESS_CABINET_READER_H

#include <cstdint>
#include <string>
#include <vector>

struct ReadBlock {
    uint32_t checksum;
    uint16_t compressed;
    uint16_t uncompressed;
    bool checksumOk;
    std::vector<uint8_t> data;
};

struct ReadFolder {
    uint32_t firstBlock;
    uint16_t blockCount;
    uint16_t type;
    std::vector<ReadBlock> blocks;
};

struct ReadFile {
    uint32_t size;
    uint32_t offset;
    uint16_t folder;
    uint16_t date;
    uint16_t time;
    uint16_t attributes;
    std::string name;
};

struct ReadCabinet {
    std::string error; // empty when the file is a well-formed cabinet
    uint32_t fileSize = 0;
    uint32_t cabinetSize = 0;
    uint32_t filesOffset = 0;
    uint32_t dataOffset = 0; // where the file records end
    uint8_t versionMinor = 0;
    uint8_t versionMajor = 0;
    uint16_t flags = 0;
    uint16_t setId = 0;
    uint16_t index = 0;
    std::string prevCabinet, prevDisk, nextCabinet, nextDisk;
    std::vector<ReadFolder> folders;
    std::vector<ReadFile> files;
};

ReadCabinet ReadCabinetBytes(const std::vector<uint8_t>& bytes);
ReadCabinet ReadCabinetFile(const std::string& path);

// The whole file as bytes (empty when it cannot be read).
std::vector<uint8_t> ReadBytes(const std::string& path);

#endif
