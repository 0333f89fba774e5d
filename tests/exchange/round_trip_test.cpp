// Export then import gives the same settings file: the sample files, and
// random stores with values only a hand-edited file holds.
#include <gtest/gtest.h>

#include <random>

#include "exchange/settings_json.h"
#include "exchange/texts_csv.h"
#include "settings/cp932.h"
#include "settings/settings_file.h"
#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace kvt {
namespace {

struct Store {
    PanelSettings settings;
    int currentPage = 0;
    std::string File() const { return FormatSettings(settings, currentPage); }
};

Store Load(const char* name) {
    Store s;
    ResetPanelSettings(&s.settings);
    EXPECT_TRUE(
        ReadSettingsFile(std::string(KVT_TEST_DATA) + "/" + name, &s.settings, &s.currentPage));
    return s;
}

// Texts the sign takes; some with characters that need quoting in no CSV.
const char* const kSendable[] = {"",         "ようこそ",   "本日は晴天なり",
                                 "　全角　", "１０時より", "アイウエオカキクケコサシスセ",
                                 "①"};

class RandomStores {
public:
    explicit RandomStores(unsigned seed) : rng_(seed) {}

    // Any value a settings file can hold when wild, else the lists' values.
    Store Next(bool wild) {
        Store s;
        ResetPanelSettings(&s.settings);
        PanelSettings& p = s.settings;
        for (int page = 0; page < kPageCount; ++page) {
            for (int k = 0; k < kLineCount; ++k) {
                p.charColor[page][k] = Value(wild, 8);
                p.edgeColor[page][k] = Value(wild, 8);
                p.blinkMode[page][k] = Value(wild, 4);
                p.lineText[page][k] = Text(wild);
            }
            p.fillMask[page] = Value(wild, 127);
            p.whiteLevel[page] = Value(wild, 1);
            p.displayTime[page] = Value(wild, 99);
        }
        p.sequenceMode = Value(wild, 1);
        p.hPosition = Value(wild, 15);
        p.vPosition = Value(wild, 15);
        s.currentPage = Value(wild, 31);
        // What a file holds, read back as the program reads it.
        Store read;
        ParseSettings(s.File(), &read.settings, &read.currentPage);
        return read;
    }

private:
    int Value(bool wild, int high) {
        if (wild && rng_() % 8 == 0) {
            const int odd[] = {-1, high + 1, 120, 255, -2147483647 - 1, 2147483647};
            return odd[rng_() % 6];
        }
        return static_cast<int>(rng_() % static_cast<unsigned>(high + 1));
    }

    std::string Text(bool wild) {
        if (wild && rng_() % 4 == 0) {
            // Bytes without blanks: half-width text, broken two-byte codes,
            // the NEC-selected rows that UTF-8 cannot tell from IBM's.
            std::string bytes;
            const size_t n = 1 + rng_() % 33;
            while (bytes.size() < n) bytes += static_cast<char>(0x21 + rng_() % (0x100 - 0x21));
            return bytes == "s" ? "t" : bytes;
        }
        std::string cp932;
        EXPECT_TRUE(Utf8ToCp932(kSendable[rng_() % 7], &cp932));
        return cp932;
    }

    std::mt19937 rng_;
};

Store ThroughJson(const Store& from, Store onto) {
    EXPECT_EQ(ApplySettingsJson(SettingsToJson(from.settings, from.currentPage), &onto.settings,
                                &onto.currentPage),
              std::vector<std::string>{});
    return onto;
}

Store ThroughCsv(const Store& from, Store onto) {
    EXPECT_EQ(ApplyTextsCsv(TextsToCsv(from.settings), &onto.settings), std::vector<std::string>{});
    return onto;
}

TEST(RoundTripTest, SampleFilesComeBackByteForByte) {
    for (const char* name : {"sample.dat", "rejects.dat"}) {
        const Store s = Load(name);
        const std::string file = test::ReadFile(std::string(KVT_TEST_DATA) + "/" + name);
        EXPECT_EQ(ThroughJson(s, s).File(), file) << name;
        EXPECT_EQ(ThroughCsv(s, s).File(), file) << name;
    }
}

TEST(RoundTripTest, RandomFilesComeBackOntoThemselves) {
    RandomStores stores(12);
    for (int i = 0; i < 40; ++i) {
        const Store s = stores.Next(true);
        EXPECT_EQ(ThroughJson(s, s).File(), s.File()) << i;
        EXPECT_EQ(ThroughCsv(s, s).File(), s.File()) << i;
    }
}

// A document of values the sign takes carries them all: imported over a new
// store, it gives the exported file.
TEST(RoundTripTest, SendableSettingsCarryOverOntoANewStore) {
    RandomStores stores(34);
    Store fresh;
    ResetPanelSettings(&fresh.settings);
    for (int i = 0; i < 20; ++i) {
        const Store s = stores.Next(false);
        EXPECT_EQ(ThroughJson(s, fresh).File(), s.File()) << i;
        // The sheet carries the texts, colours and blink only.
        Store texts = fresh;
        for (int p = 0; p < kPageCount; ++p)
            for (int k = 0; k < kLineCount; ++k) {
                texts.settings.lineText[p][k] = s.settings.lineText[p][k];
                texts.settings.charColor[p][k] = s.settings.charColor[p][k];
                texts.settings.edgeColor[p][k] = s.settings.edgeColor[p][k];
                texts.settings.blinkMode[p][k] = s.settings.blinkMode[p][k];
            }
        EXPECT_EQ(ThroughCsv(s, fresh).File(), texts.File()) << i;
    }
}

}  // namespace
}  // namespace kvt
