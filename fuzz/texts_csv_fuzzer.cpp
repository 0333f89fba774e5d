// The CSV reader and the texts sheet on any bytes: the reader numbers its
// records as rows; a refused sheet leaves the store as it was and says why
// in a few bounded lines; a sheet that was taken, exported again and taken
// onto its own result changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/csv_reader.h"
#include "exchange/texts_csv.h"
#include "fuzz_support.h"
#include "settings/settings_file.h"

using namespace kvt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<CsvRecord> records;
    CsvError error;
    const bool read = ReadCsv(bytes, &records, &error);
    for (size_t i = 0; i < records.size(); ++i)
        fuzz::Check(records[i].row == static_cast<int>(i) + 1 && !records[i].cells.empty(),
                    "records are numbered rows of at least one cell");
    if (!read)
        fuzz::Check(error.row == static_cast<int>(records.size()) + 1 && error.column >= 1,
                    "a broken record is the row after the last one read");

    PanelSettings settings;
    ResetPanelSettings(&settings);
    const std::string before = FormatSettings(settings, 0);
    const std::vector<std::string> problems = ApplyTextsCsv(bytes, &settings);
    fuzz::CheckProblemLines(problems);
    if (!problems.empty()) {
        fuzz::Check(FormatSettings(settings, 0) == before, "a refused sheet changes nothing");
        return 0;
    }
    const std::string taken = FormatSettings(settings, 0);
    fuzz::Check(ApplyTextsCsv(TextsToCsv(settings), &settings).empty(),
                "an exported sheet is taken");
    fuzz::Check(FormatSettings(settings, 0) == taken, "an exported sheet changes nothing");
    return 0;
}
