// Fuzzes the cabinet writer on small random file sets over an in-memory disk: random
// folder closes, folder thresholds and cabinet size limits (so that folders, files and
// data blocks span cabinets), and, for one input in four, one failing client call.
// A run that succeeds must give a cabinet set that the independent check accepts with
// exactly the files added; a run that fails must say why with its error code and leave
// no spill file, open handle or memory behind. A sample of the sets also goes through
// cabextract -t.
#include <cstdlib>
#include <cstring>

#include "compress/cabinet_writer.h"
#include "tests/fuzz/fuzz_support.h"

using namespace velaset::compress;
using fuzz::Fail;

namespace {

struct Planned {
    cabinet_test::ExpectedFile file;
    std::string source; // the path handed to FCIAddFile
    bool exists = true; // the source can be opened
    bool flushAfter = false;
};

// One written set in 200 also goes to cabextract, which tests every file of it (and
// follows the set from its first cabinet); what it says goes to the error output.
void CabextractSample(const cabinet_test::CabinetSet& set) {
    static unsigned written = 0;
    if (written++ % 200 != 0)
        return;
    for (size_t i = 0; i < set.cabinets.size(); ++i)
        fuzz::WriteFixtureFile(set.cabinetNames[i], set.cabinets[i].data(), set.cabinets[i].size());
    const std::string first = fuzz::FixtureFolder() + "/" + set.cabinetNames[0];
    if (std::system(("cabextract -q -t '" + first + "' >&2").c_str()) != 0)
        Fail("cabextract -t refuses the set");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    cabinet_test::MemoryDisk disk;

    CabinetParams params;
    std::memset(&params, 0, sizeof params);
    const int limit = in.ConsumeIntegralInRange<int>(0, 3); // 2, 3: sets of several cabinets
    params.sizeLimit = limit == 0   ? 0
                       : limit == 1 ? 145000000
                                    : in.ConsumeIntegralInRange<uint32_t>(400, 120000);
    params.folderThreshold =
        in.ConsumeBool() ? 900000 : in.ConsumeIntegralInRange<uint32_t>(0, 60000);
    params.cabinetNumber = 1;
    params.setId = in.ConsumeIntegral<uint16_t>();
    std::strcpy(params.cabinetName, "cab1");
    std::strcpy(params.diskName, "disk1");
    if (in.ConsumeIntegralInRange<int>(0, 3) == 0)
        disk.failAt = in.ConsumeIntegralInRange<uint64_t>(1, 200);

    std::vector<Planned> plan;
    int fileCount = in.ConsumeIntegralInRange<int>(0, 6);
    bool expectFailure = false;
    for (int i = 0; i < fileCount; ++i) {
        Planned p;
        p.file.name =
            in.ConsumeRandomLengthString(in.ConsumeIntegralInRange<int>(0, 12) == 0 ? 300 : 16);
        p.file.name = p.file.name.substr(0, p.file.name.find('\0'));
        if (p.file.name.empty())
            p.file.name = "f" + std::to_string(i);
        p.source = "src/" + std::to_string(i);
        p.exists = in.ConsumeIntegralInRange<int>(0, 15) != 0;
        int blocks = in.ConsumeIntegralInRange<int>(0, 3);
        for (int b = 0; b < blocks; ++b) {
            std::vector<uint8_t> part = fuzz::ConsumeBlock(in, 32768);
            p.file.data.insert(p.file.data.end(), part.begin(), part.end());
        }
        p.file.date = in.ConsumeIntegral<uint16_t>();
        p.file.time = in.ConsumeIntegral<uint16_t>();
        p.file.attributes = in.ConsumeIntegral<uint16_t>() & 0x27;
        p.file.newFolder = !plan.empty() && plan.back().flushAfter;
        p.flushAfter = in.ConsumeBool();
        if (p.exists)
            disk.sources[p.source] = {p.file.data, p.file.date, p.file.time, p.file.attributes};
        expectFailure |= !p.exists || p.file.name.size() > 255;
        plan.push_back(p);
    }
    bool otherType = in.ConsumeIntegralInRange<int>(0, 31) == 0;
    expectFailure |= otherType && !plan.empty();

    CabError err;
    std::memset(&err, 0, sizeof err);
    CabinetCallbacks cb = disk.Callbacks();
    CabContext* cab =
        FCICreate(&err, cb.filePlaced, cb.alloc, cb.release, cb.open, cb.read, cb.write, cb.close,
                  cb.seek, cb.remove, cb.tempName, &params, nullptr);
    bool ok = cab != nullptr;
    int expectedCode = 0;
    for (size_t i = 0; ok && i < plan.size(); ++i) {
        const Planned& p = plan[i];
        ok = FCIAddFile(cab, p.source.c_str(), p.file.name.c_str(), cb.nextCabinet, cb.progress,
                        cb.openSource, otherType ? 0x7 : kCompressionMsZip);
        if (!ok)
            expectedCode = otherType   ? kCabUnknownCompression
                           : !p.exists ? kCabOpenSourceFailed
                                       : 0;
        if (ok && p.flushAfter)
            ok = FCIFlushFolder(cab, cb.nextCabinet, cb.progress);
    }
    if (ok)
        ok = FCIFlushCabinet(cab, cb.nextCabinet, cb.progress);
    bool destroyed = cab == nullptr || FCIDestroy(cab);

    const bool faultInjected = !disk.failedKind.empty();
    const bool releaseFault = disk.failedKind == "delete" || disk.failedKind == "close";
    fuzz::CheckNothingLeft(disk, "", releaseFault);
    if (!destroyed && !releaseFault)
        Fail("FCIDestroy failed: code " + std::to_string(err.code));

    if (!ok) {
        if (!faultInjected && !expectFailure)
            Fail("failed without a cause: code " + std::to_string(err.code));
        if (err.failed != 1 || err.code < 1 || err.code > 9)
            Fail("failure with error code " + std::to_string(err.code));
        if (!faultInjected && expectedCode != 0 && err.code != expectedCode)
            Fail("error code " + std::to_string(err.code) + " where " +
                 std::to_string(expectedCode) + " was due");
        if (!faultInjected && expectedCode == 0 && err.code != kCabTempFileFailed)
            Fail("a name beyond 255 bytes gives code " + std::to_string(err.code));
        return 0;
    }
    if (expectFailure)
        Fail("a missing source, an unknown type or a name beyond 255 bytes was accepted");

    cabinet_test::CabinetSet set = fuzz::CabinetsOf(
        disk, [](int n) { return "cab" + std::to_string(n); },
        [](int n) { return "disk" + std::to_string(n); });
    set.setId = params.setId;
    set.sizeLimit = params.sizeLimit;
    if (set.cabinets.empty())
        Fail("success without a cabinet");
    std::vector<cabinet_test::ExpectedFile> expected;
    for (const Planned& p : plan)
        expected.push_back(p.file);
    std::string problem = cabinet_test::CheckCabinetSet(set, expected);
    if (!problem.empty())
        Fail(problem);
    if (!expected.empty()) // cabextract takes a cabinet without files for a damaged one
        CabextractSample(set);
    return 0;
}
