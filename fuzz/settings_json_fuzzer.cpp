// The JSON import of settings on any bytes: a refused document leaves the
// store and the selected page as they were and says why in a few bounded
// lines; a document that was taken, exported again and taken onto its own
// result changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/settings_json.h"
#include "fuzz_support.h"
#include "settings/settings_file.h"

using namespace kvt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    PanelSettings settings;
    ResetPanelSettings(&settings);
    int page = 0;
    const std::string before = FormatSettings(settings, page);
    const std::vector<std::string> problems = ApplySettingsJson(bytes, &settings, &page);
    fuzz::CheckProblemLines(problems);
    if (!problems.empty()) {
        fuzz::Check(FormatSettings(settings, page) == before, "a refused document changes nothing");
        return 0;
    }
    const std::string taken = FormatSettings(settings, page);
    fuzz::Check(ApplySettingsJson(SettingsToJson(settings, page), &settings, &page).empty(),
                "an exported document is taken");
    fuzz::Check(FormatSettings(settings, page) == taken, "an exported document changes nothing");
    return 0;
}
