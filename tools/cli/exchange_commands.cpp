// export and import: the texts as a CSV sheet for spreadsheets, every
// setting as JSON for scripts.
#include <cstdio>

#include "exchange/settings_json.h"
#include "exchange/texts_csv.h"
#include "settings/settings_file.h"
#include "text/clipped.h"
#include "tools/cli/cli.h"

namespace kvt::cli {

namespace {

int Export(const std::string& path, const std::string& bytes) {
    if (SaveWholeFile(path, bytes) == SaveResult::Ok) return kExitOk;
    std::fprintf(stderr, "kvt540m-cli: cannot write %s\n", Clipped(path).c_str());
    return kExitFailed;
}

bool EndsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    std::string tail = text.substr(text.size() - end.size());
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail == end;
}

}  // namespace

int RunExport(const Args& args) {
    if (args.positional.size() != 1)
        return UsageError(args.positional.empty() ? "export needs FILE.dat"
                                                  : "export: too many arguments");
    if (args.texts.empty() && args.json.empty())
        return UsageError("export needs --texts OUT.csv or --json OUT.json");
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    int status = kExitOk;
    if (!args.texts.empty() && Export(args.texts, TextsToCsv(session.panelSettings)) != kExitOk)
        status = kExitFailed;
    if (!args.json.empty() &&
        Export(args.json, SettingsToJson(session.panelSettings, session.currentPage)) != kExitOk)
        status = kExitFailed;
    return status;
}

// Nothing is written unless every value of IN could be taken.
int RunImport(const Args& args) {
    if (args.positional.size() != 3) return UsageError("import needs FILE.dat IN OUT.dat");
    const std::string& in = args.positional[1];
    const std::string& out = args.positional[2];
    const bool csv = EndsWith(in, ".csv");
    if (!csv && !EndsWith(in, ".json"))
        return UsageError("import takes a .csv sheet of texts or a .json file of settings");
    Session session;
    if (!LoadStore(session, args.positional[0])) return kExitFailed;
    std::string bytes;
    if (!ReadInput(in, &bytes)) return kExitFailed;
    const std::vector<std::string> problems =
        csv ? ApplyTextsCsv(bytes, &session.panelSettings)
            : ApplySettingsJson(bytes, &session.panelSettings, &session.currentPage);
    if (!problems.empty()) {
        for (const std::string& problem : problems)
            std::fprintf(stderr, "kvt540m-cli: %s: %s\n", in.c_str(), problem.c_str());
        std::fprintf(stderr, "kvt540m-cli: %s not written\n", Clipped(out).c_str());
        return kExitFailed;
    }
    return SaveStore(session, out);
}

}  // namespace kvt::cli
