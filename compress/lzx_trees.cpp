// The pretree form of a run of path lengths.
#include "compress/lzx_trees.h"

#include "compress/lzx_format.h"
#include "compress/lzx_huffman.h"

namespace velaset::compress {

namespace {

// One pretree symbol with its extra bits (for 19, the symbol that follows it too).
struct TreeItem {
    uint8_t symbol;
    uint8_t extra; // 17: 4 bits, 18: 5 bits, 19: 1 bit
    uint8_t follower;
};

// Extra bits of each pretree symbol (19's follower is coded separately).
const uint8_t kExtraBits[kLzxPretreeSymbols] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                0, 0, 0, 0, 0, 0, 0, 4, 5, 1};

struct TreeForm {
    TreeItem items[kLzxMaxMainSymbols];
    int count;
    uint32_t frequency[kLzxPretreeSymbols];
    uint8_t pretree[kLzxPretreeSymbols];
};

uint8_t Delta(uint8_t previous, uint8_t length) {
    return static_cast<uint8_t>((previous - length + 17) % 17);
}

// Greedy runs: zeros as 18 then 17 while at least 4 remain, four or five equal non-zero
// lengths as 19, anything else one symbol each.
void MakeForm(const uint8_t* lengths, const uint8_t* previous, int count, TreeForm* form) {
    form->count = 0;
    for (int s = 0; s < kLzxPretreeSymbols; s++)
        form->frequency[s] = 0;
    auto add = [form](uint8_t symbol, uint8_t extra, uint8_t follower) {
        form->items[form->count++] = TreeItem{symbol, extra, follower};
        form->frequency[symbol]++;
        if (symbol == 19)
            form->frequency[follower]++;
    };
    for (int i = 0; i < count;) {
        int run = 1;
        while (i + run < count && lengths[i + run] == lengths[i])
            run++;
        if (lengths[i] == 0 && run >= 4) {
            if (run >= 20) {
                int n = run > 51 ? 51 : run;
                add(18, static_cast<uint8_t>(n - 20), 0);
                i += n;
            } else {
                add(17, static_cast<uint8_t>(run - 4), 0);
                i += run;
            }
        } else if (lengths[i] != 0 && run >= 4) {
            int n = run >= 5 ? 5 : 4;
            add(19, static_cast<uint8_t>(n - 4), Delta(previous[i], lengths[i]));
            i += n;
        } else {
            add(Delta(previous[i], lengths[i]), 0, 0);
            i++;
        }
    }
    LzxCodeLengths(form->frequency, kLzxPretreeSymbols, kLzxMaxPretreeLength, form->pretree);
}

} // namespace

uint32_t LzxTreeBits(const uint8_t* lengths, const uint8_t* previous, int count) {
    TreeForm form;
    MakeForm(lengths, previous, count, &form);
    uint32_t bits = 4 * kLzxPretreeSymbols;
    for (int s = 0; s < kLzxPretreeSymbols; s++)
        bits += form.frequency[s] * (form.pretree[s] + kExtraBits[s]);
    return bits;
}

void LzxSendTree(LzxBitWriter& w, const uint8_t* lengths, const uint8_t* previous, int count) {
    TreeForm form;
    MakeForm(lengths, previous, count, &form);
    uint16_t codes[kLzxPretreeSymbols];
    LzxCanonicalCodes(form.pretree, kLzxPretreeSymbols, codes);
    for (int s = 0; s < kLzxPretreeSymbols; s++)
        LzxBitsPut(w, form.pretree[s], 4);
    for (int i = 0; i < form.count; i++) {
        const TreeItem& item = form.items[i];
        LzxBitsPut(w, codes[item.symbol], form.pretree[item.symbol]);
        if (item.symbol >= 17)
            LzxBitsPut(w, item.extra, kExtraBits[item.symbol]);
        if (item.symbol == 19)
            LzxBitsPut(w, codes[item.follower], form.pretree[item.follower]);
    }
}

} // namespace velaset::compress
