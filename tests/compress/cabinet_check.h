// An independent check of a cabinet set: every field the format fixes, every data
// block's checksum, every MSZIP block decoded by libdeflate, split blocks and folders
// continued across cabinets put back together, and the files compared with what went in.
#ifndef VELASET_TESTS_COMPRESS_CABINET_CHECK_H
#define VELASET_TESTS_COMPRESS_CABINET_CHECK_H

#include <cstdint>
#include <string>
#include <vector>

namespace cabinet_test {

struct ExpectedFile {
    std::string name;
    std::vector<uint8_t> data;
    uint16_t date = 0, time = 0, attributes = 0;
    // True when the caller closed the folder between the previous file and this one,
    // so the two must not share a folder.
    bool newFolder = false;
};

struct CabinetSet {
    std::vector<std::vector<uint8_t>> cabinets; // in set order
    std::vector<std::string> cabinetNames;      // as the neighbours' headers must name them
    std::vector<std::string> diskNames;
    uint16_t setId = 0;
    uint32_t sizeLimit = 0; // 0: no limit to check
};

// Empty when the set is sound and holds exactly the expected files; else what is wrong.
std::string CheckCabinetSet(const CabinetSet& set, const std::vector<ExpectedFile>& expected);

} // namespace cabinet_test

#endif
