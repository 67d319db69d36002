// The indexed profile text against the plain model: random files of the lines that make
// the dialect hard under random writes and section removals, compared after every step.
#include <gtest/gtest.h>

#include <random>

#include "platform/profile_text.h"
#include "tests/platform/profile_reference.h"

namespace {

namespace reference = velaset_test::reference;
using platform::ProfileText;

const char* const kLines[] = {
    "[A]", "[a]", "[ B ]", "[Files]", "[files", "[]", "  [C] tail", "[A]]",
    "K=1", "k = 2 ", "Chiave=valore", "  Chiave  =  con spazi  ", "1=C:\\Src\\a.exe,D",
    "2=\"tra virgolette\"", "3='apici'", "=senza nome", "senza uguale", ";K=commento",
    "", "   ", "\t", "x=a=b", "NumFile=3",
};
const char* const kEnds[] = {"\r\n", "\r\n", "\r\n", "\n", "\r"};
const char* const kSections[] = {"A", "a", "B", "Files", "files", "C", "Nuova", "a]b", " A",
                                 "", "Progetto"};
const char* const kKeys[] = {"K", "k", "Chiave", "1", "2", "3", "4", "NumFile", "x", "Nuova",
                             " K", "K ", "", "[k", "a=b", ";K", "1\r\n2"};
const char* const kValues[] = {"v", "", "  blank  ", "\"q\"", "C:\\Src\\b.exe,S*", "x=y",
                               "riga\r\nspezzata", "fine\r", "[S]", "lungo lungo lungo"};

template <size_t N> const char* Pick(std::mt19937& random, const char* const (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

std::string RandomFile(std::mt19937& random) {
    std::string data;
    const int lines = std::uniform_int_distribution<int>(0, 14)(random);
    for (int i = 0; i < lines; ++i)
        data += std::string(Pick(random, kLines)) + Pick(random, kEnds);
    // Now and then the last line has no end.
    if (!data.empty() && random() % 4 == 0)
        data.resize(data.find_last_not_of("\r\n") + 1);
    return data;
}

// Every read the two give for the names in play.
void ExpectSameReads(const ProfileText& text, const std::string& data, const std::string& step) {
    for (const char* section : kSections) {
        EXPECT_EQ(text.KeyNames(section), reference::KeyNames(data, section))
            << step << " [" << section << "]";
        for (const char* key : kKeys) {
            std::string indexed, plain;
            const bool found = text.Find(section, key, &indexed);
            ASSERT_EQ(found, reference::Find(data, section, key, &plain))
                << step << " [" << section << "] " << key;
            if (found)
                EXPECT_EQ(indexed, plain) << step << " [" << section << "] " << key;
        }
    }
}

TEST(ProfileText, MatchesTheWholeFileModelUnderRandomEdits) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 400; ++round) {
        std::string data = RandomFile(random);
        ProfileText text(data);
        ASSERT_EQ(text.Bytes(), data) << "round " << round;
        ExpectSameReads(text, data, "round " + std::to_string(round));
        const int steps = std::uniform_int_distribution<int>(1, 25)(random);
        for (int step = 0; step < steps; ++step) {
            const std::string section = Pick(random, kSections);
            std::string what;
            if (random() % 8 == 0) {
                what = "delete [" + section + "]";
                text.DeleteSection(section);
                data = reference::DeleteSection(data, section);
            } else {
                const std::string key = Pick(random, kKeys);
                const std::string value = Pick(random, kValues);
                what = "write [" + section + "] " + key + "=" + value;
                text.Write(section, key, value);
                data = reference::Write(data, section, key, value);
            }
            const std::string label = "round " + std::to_string(round) + ", " + what;
            ASSERT_EQ(text.Bytes(), data) << label;
            if (step % 5 == 0 || step == steps - 1)
                ExpectSameReads(text, data, label);
            if (HasFailure())
                return;
        }
    }
}

// A value at its first zero byte and the buffer's end, key names after the last whole one.
TEST(ProfileText, CutsValuesAndNamesAsTheSystemsBuffers) {
    EXPECT_EQ(platform::CutToProfileBuffer(std::string("ab\0cd", 5), 10), "ab");
    EXPECT_EQ(platform::CutToProfileBuffer("abc", 0), "");
    EXPECT_EQ(platform::CutNamesToProfileBuffer(std::string("uno\0due\0", 8), 6),
              std::string("uno\0", 4));
}

} // namespace
