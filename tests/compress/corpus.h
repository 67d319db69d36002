// The corpus that the compressor tests build for themselves, and the runs over it.
#ifndef VELASET_TESTS_COMPRESS_CORPUS_H
#define VELASET_TESTS_COMPRESS_CORPUS_H

#include <string>
#include <vector>

#include "tests/compress/compressor_fixture.h"
#include "tests/compress/deflate_structure.h"

namespace mszip_test {

// Block sizes at the edges: the smallest ones, around the longest match, around the
// estimate's 4096 symbols and up to a full block.
std::vector<size_t> EdgeSizes();

struct Folder {
    std::string name;
    std::vector<Bytes> inputs; // its blocks, all but the last one full
};

// Folders of several blocks, each block after the first with history.
std::vector<Folder> FolderCorpus();

// Splits data into a folder of full blocks and a shorter last one.
Folder SplitIntoBlocks(const std::string& name, const Bytes& data);

// A made-up folder sequence for the randomized test: block sizes and data kinds drawn
// from the seed; a block shorter than 32768 ends the history within the folder.
Folder RandomFolder(uint64_t seed);

// Checks what holds for every block the compressor makes: "CK", a deflate stream within
// the maximum output size, distances within 32506, 3-byte matches at most 4096 back,
// the input's size, and deflate blocks cut
// only at the estimate's 4096-symbol steps or at 32767 symbols. Answers "" when all hold.
std::string CheckBlockProperties(const Bytes& input, const Bytes& block);

} // namespace mszip_test

#endif
