// Corpus and block properties of the compressor tests.
#include "tests/compress/corpus.h"

namespace mszip_test {

std::vector<size_t> EdgeSizes() {
    std::vector<size_t> sizes;
    for (size_t n = 0; n <= 64; n++)
        sizes.push_back(n);
    for (size_t n : {255, 256, 257, 258, 259, 260, 261, 1000, 4095, 4096, 4097, 12289, 16384})
        sizes.push_back(n);
    for (size_t n = 32760; n <= 32768; n++)
        sizes.push_back(n);
    return sizes;
}

Folder SplitIntoBlocks(const std::string& name, const Bytes& data) {
    Folder folder;
    folder.name = name;
    for (size_t at = 0; at < data.size(); at += 32768) {
        size_t end = at + 32768 < data.size() ? at + 32768 : data.size();
        folder.inputs.emplace_back(data.begin() + at, data.begin() + end);
    }
    return folder;
}

std::vector<Folder> FolderCorpus() {
    std::vector<Folder> folders;
    for (DataKind kind : kAllKinds)
        folders.push_back(SplitIntoBlocks(KindName(kind), MakeData(kind, 4 * 32768 + 777, 21)));
    // Repeats that reach from one block into the one before.
    Bytes text = MakeData(DataKind::Text, 20000, 22);
    Bytes repeated;
    for (int i = 0; i < 8; i++)
        repeated.insert(repeated.end(), text.begin(), text.end());
    folders.push_back(SplitIntoBlocks("repeated-text", repeated));
    folders.push_back(SplitIntoBlocks("exact-blocks", MakeData(DataKind::Mixed, 3 * 32768, 23)));
    return folders;
}

Folder RandomFolder(uint64_t seed) {
    Rng rng(seed);
    Folder folder;
    folder.name = "random-" + std::to_string(seed);
    uint32_t blocks = 1 + rng.Below(6);
    for (uint32_t b = 0; b < blocks; b++) {
        uint32_t pick = rng.Below(10);
        size_t size = pick < 6 ? 32768 : pick < 8 ? rng.Below(32769) : rng.Below(300);
        DataKind kind = kAllKinds[rng.Below(sizeof kAllKinds / sizeof kAllKinds[0])];
        if (rng.Below(4) == 0)
            kind = DataKind::Skewed; // deep trees: length limiting at work
        folder.inputs.push_back(MakeData(kind, size, rng.Next()));
    }
    return folder;
}

std::string CheckBlockProperties(const Bytes& input, const Bytes& block) {
    if (block.size() > 32780)
        return "output of " + std::to_string(block.size()) + " bytes";
    if (block.size() < 2 || block[0] != 0x43 || block[1] != 0x4B)
        return "no CK";
    std::vector<DeflateBlock> blocks;
    std::string error = ReadDeflateStructure(block.data() + 2, block.size() - 2, blocks);
    if (!error.empty())
        return error;
    uint32_t produced = 0;
    for (const DeflateBlock& b : blocks) {
        if (b.type != 0 && !b.final && b.symbols.size() % 4096 != 0 && b.symbols.size() != 32767)
            return "block cut after " + std::to_string(b.symbols.size()) + " symbols";
        for (const DeflateSymbol& s : b.symbols) {
            if (s.distance > 32506)
                return "distance " + std::to_string(s.distance);
            if (s.length == 3 && s.distance > 4096)
                return "3-byte match at distance " + std::to_string(s.distance);
        }
        produced += b.type == 0 ? b.storedLength : 0;
        for (const DeflateSymbol& s : b.symbols)
            produced += s.length == 0 ? 1 : s.length;
    }
    if (produced != input.size())
        return "stream stands for " + std::to_string(produced) + " bytes, not " +
               std::to_string(input.size());
    return "";
}

} // namespace mszip_test
