// The settings-file reader on any bytes: no crash or undefined behaviour;
// what the store can save reads back to the same file; the bounded stream
// reader returns exactly the bytes it was given.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "settings/bounded_read.h"
#include "settings/panel_settings.h"
#include "settings/settings_file.h"

using namespace kvt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    PanelSettings settings;
    ResetPanelSettings(&settings);
    int currentPage = 0;
    ParseSettings(bytes, &settings, &currentPage);
    const std::string formatted = FormatSettings(settings, currentPage);
    if (UnsaveableTextReason(settings).empty()) {
        PanelSettings again;
        ResetPanelSettings(&again);
        int againPage = 0;
        ParseSettings(formatted, &again, &againPage);
        fuzz::Check(FormatSettings(again, againPage) == formatted,
                    "a saveable store reads back the same");
    }

    if (size > 0) {
        std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
        if (stream) {
            std::string read;
            const BoundedRead result = ReadWholeStream(stream, &read);
            std::fclose(stream);
            fuzz::Check(result == BoundedRead::Ok && read == bytes, "a stream reads whole");
        }
    }
    return 0;
}
