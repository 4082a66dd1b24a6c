#include "persistence/LineFormat.h"

#include <gtest/gtest.h>

#include <random>

namespace calmfield::persistence {
namespace {

const std::vector<std::int16_t> kMix{1,     0,     1,     0,     0,    0,     -3000, 0,
                                     -3000, -3000, 32000, 32000, 1000, 32000, 32000};

TEST(LineFormat, WritesTheCanonicalLineByteForByte) {
    EXPECT_EQ(formatLine(kMix), "1,0,1,0,0,0,-3000,0,-3000,-3000,32000,32000,1000,32000,32000\r\n");
    const std::vector<std::int16_t> extremes{-32768, 32767, 0, -1, 2};
    EXPECT_EQ(formatLine(extremes), "-32768,32767,0,-1,2\r\n");
}

TEST(LineFormat, RoundTripsFifteenAndSixteenFields) {
    std::vector<std::int16_t> settings = kMix;
    settings.push_back(1);
    for (const auto& values : {kMix, settings}) {
        const auto parsed = parseLine(formatLine(values), values.size());
        ASSERT_TRUE(parsed.ok()) << parsed.reason();
        EXPECT_EQ(parsed.value(), values);
    }
}

TEST(LineFormat, ReadsTheTolerantForms) {
    const std::vector<std::int16_t> expected{1, -2, 3, 4};
    for (const char* text : {
             "1,-2,3,4\r\n",
             "1,-2,3,4",
             "1,-2,3,4\n",
             " 1 , -2,\t3 ,4 \r\n",
             "1\r\n-2\r\n3\r\n4\r\n",
             "1\n-2\n3\n4",
             "1,\r\n-2,\n3\r\n\r\n4",
             "\r\n1,-2\r\n3,4\r\n",
             "1,-2,3,4,5,6\r\n",
             "1,-2,3,4\r\nanything at all after the last field",
             "+1,-2,003,4",
             // Saved as UTF-8 by an editor that marks it so.
             "\357\273\2771,-2,3,4\r\n",
         }) {
        const auto parsed = parseLine(text, 4);
        ASSERT_TRUE(parsed.ok()) << text << " gave: " << parsed.reason();
        EXPECT_EQ(parsed.value(), expected) << text;
    }
}

TEST(LineFormat, ASixteenFieldLineReadForFifteenIgnoresTheLast) {
    std::vector<std::int16_t> settings = kMix;
    settings.push_back(1);
    EXPECT_EQ(parseLine(formatLine(settings), 15).value(), kMix);
}

TEST(LineFormat, RefusesShortNonNumericAndOverflowingLinesWithTheReason) {
    struct Case {
        const char* text;
        const char* reason;
    };
    for (const Case& c : {
             Case{"", "holds 0 of the 4 numbers"},
             Case{"1,2,3\r\n", "holds 3 of the 4 numbers"},
             Case{"1,2,3,\r\n", "holds 3 of the 4 numbers"},
             Case{"1,,3,4", "number 2 is missing"},
             Case{"1,2,3,", "number 4 is missing"},
             Case{"1,x,3,4", "number 2 is not a whole number"},
             Case{"1,2,3.5,4", "number 3 is not a whole number"},
             Case{"1,2,3,4x", "number 4 is not a whole number"},
             Case{"1,2 2,3,4", "number 2 is not a whole number"},
             Case{"-,2,3,4", "number 1 is not a whole number"},
             Case{"1,2,32768,4", "number 3 lies outside -32768 to 32767"},
             Case{"1,-32769,3,4", "number 2 lies outside -32768 to 32767"},
             Case{"99999999999999999999,2,3,4", "number 1 lies outside -32768 to 32767"},
             // Only one UTF-8 byte-order mark, and only at the very start, is skipped.
             Case{"\357\273\277\357\273\2771,2,3,4", "number 1 is not a whole number"},
             Case{"1,\357\273\2772,3,4", "number 2 is not a whole number"},
             Case{"\377\3761,2,3,4", "number 1 is not a whole number"},
         }) {
        const auto parsed = parseLine(c.text, 4);
        ASSERT_FALSE(parsed.ok()) << c.text;
        EXPECT_NE(parsed.reason().find(c.reason), std::string::npos)
            << c.text << " gave: " << parsed.reason();
    }
}

TEST(LineFormat, ArbitraryBytesNeverCrashAndNeverGiveAPartialResult) {
    std::mt19937 random(20261207);
    constexpr char kLikelyBytes[] = "0123456789-+, \t\r\n.x\0\xff";
    const std::string alphabet(kLikelyBytes, sizeof kLikelyBytes - 1);
    const std::string canonical = formatLine(kMix);
    for (int round = 0; round < 200000; ++round) {
        std::string text;
        if (round % 2 == 0) {
            // A good line with a few bytes changed, dropped or added.
            text = canonical;
            for (auto edits = 1 + random() % 3; edits > 0; --edits) {
                const std::size_t at = random() % text.size();
                const char byte = alphabet[random() % alphabet.size()];
                switch (random() % 3) {
                case 0:
                    text[at] = byte;
                    break;
                case 1:
                    text.erase(at, 1);
                    break;
                default:
                    text.insert(at, 1, byte);
                    break;
                }
            }
        } else {
            text.resize(random() % 60);
            for (auto& c : text) {
                c = (random() % 4 == 0) ? static_cast<char>(random() % 256)
                                        : alphabet[random() % alphabet.size()];
            }
        }
        const auto parsed = parseLine(text, 15);
        if (parsed.ok()) {
            ASSERT_EQ(parsed.value().size(), 15u) << text;
            ASSERT_EQ(parseLine(formatLine(parsed.value()), 15).value(), parsed.value());
        } else {
            ASSERT_FALSE(parsed.reason().empty()) << text;
        }
    }
}

} // namespace
} // namespace calmfield::persistence
