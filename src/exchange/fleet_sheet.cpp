#include "exchange/fleet_sheet.h"

#include <map>
#include <utility>

#include "exchange/sheet_columns.h"
#include "exchange/value_checks.h"
#include "protocol/command_set.h"
#include "protocol/slave_list.h"
#include "settings/settings_file.h"

namespace kvt {

namespace {

enum Column { kPort, kSlave, kFile, kName, kColumnCount };

const char* const kHeader[kColumnCount] = {"port", "slave", "file", "name"};

// "05": one or two digits, 0..31.
bool ParseSlave(const std::string& text, int* slave) {
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *slave = std::stoi(text);
    return *slave <= kLastSlave;
}

std::string RowText(int row) { return "row " + std::to_string(row); }

class SheetReader {
public:
    SheetReader(const std::string& folder, const FleetSheetUse& use)
        : folder_(folder), use_(use), columns_({std::begin(kHeader), std::end(kHeader)}, problems_) {}

    std::vector<std::string> Read(const std::string& csv, std::vector<FleetLine>* lines) {
        std::vector<int> needed = {kPort};
        if (use_.files) needed.push_back(kFile);
        columns_.Read(csv, needed, [this](const CsvRecord& record) { ReadRow(record); });
        if (problems_.empty()) *lines = std::move(lines_);
        return problems_.Lines();
    }

private:
    // What the rows so far gave a line: the row of its one RS-232C sign, or
    // the row of each slave.
    struct LineRows {
        int rs232Row = 0;
        std::map<int, int> slaveRows;
    };

    std::string Text(const CsvRecord& record, int column) const {
        const std::string* cell = columns_.Cell(record, column);
        return cell ? TrimBlanks(*cell) : "";
    }

    void Problem(const CsvRecord& record, int column, const std::string& what) {
        ++rowProblems_;
        if (columns_.Cell(record, column))
            columns_.Problem(record, column, what);
        else  // a name made from the port
            columns_.Problem(record, kPort, what);
    }

    void ReadRow(const CsvRecord& record) {
        if (!columns_.CheckShape(record)) return;
        rowProblems_ = 0;
        FleetSign sign;
        const std::string port = Text(record, kPort);
        if (port.empty()) return Problem(record, kPort, "no port");
        const std::string slave = Text(record, kSlave);
        if (!slave.empty() && !ParseSlave(slave, &sign.slave))
            return Problem(record, kSlave, Quoted(slave) + " is not a slave number 0..31");
        sign.name = Text(record, kName);
        if (sign.name.empty())
            sign.name = sign.slave == kNoSlave ? port : port + "/" + TwoDigits(sign.slave);
        if (use_.files) ReadFile(record, &sign);
        const size_t line = LineOf(port);
        CheckPlace(record, line, sign.slave);
        CheckName(record, sign.name);
        if (rowProblems_ == 0) lines_[line].signs.push_back(std::move(sign));
    }

    void ReadFile(const CsvRecord& record, FleetSign* sign) {
        const std::string file = Text(record, kFile);
        if (file.empty()) return Problem(record, kFile, "no file");
        const std::string path = file[0] == '/' ? file : folder_ + "/" + file;
        std::string message;
        if (!ReadSettingsFile(path, &sign->settings, &sign->currentPage, &message))
            return Problem(record, kFile, Quoted(file) + ": " + message);
        sign->file = path;
        const std::string why = use_.check ? use_.check(sign->settings, sign->currentPage) : "";
        if (!why.empty())
            Problem(record, kFile, Quoted(file) + " cannot be sent whole (see check): " + why);
    }

    // The line of the port: rows whose ports stand for one device are one.
    size_t LineOf(const std::string& port) {
        const std::string device = use_.device ? use_.device(port) : port;
        const auto [at, added] = lineOfDevice_.emplace(device, lines_.size());
        if (!added) return at->second;
        lines_.push_back({port, device, {}});
        rows_.emplace_back();
        return at->second;
    }

    // An RS-232C line holds one sign; an RS-485 line each slave once.
    void CheckPlace(const CsvRecord& record, size_t line, int slave) {
        LineRows& rows = rows_[line];
        const std::string port = Quoted(lines_[line].name);
        if (slave == kNoSlave && !rows.slaveRows.empty())
            return Problem(record, kSlave,
                           "no slave, but " + port + " is an RS-485 line (" +
                               RowText(rows.slaveRows.begin()->second) + " gives slave " +
                               TwoDigits(rows.slaveRows.begin()->first) + ")");
        if (slave == kNoSlave && rows.rs232Row != 0)
            return Problem(record, kSlave,
                           port + " is an RS-232C line with one sign, given in " +
                               RowText(rows.rs232Row));
        if (slave != kNoSlave && rows.rs232Row != 0)
            return Problem(record, kSlave,
                           "slave " + TwoDigits(slave) + ", but " + port +
                               " is an RS-232C line (" + RowText(rows.rs232Row) +
                               " gives no slave)");
        if (slave != kNoSlave && rows.slaveRows.count(slave))
            return Problem(record, kSlave,
                           "slave " + TwoDigits(slave) + " of " + port + " is already given in " +
                               RowText(rows.slaveRows[slave]));
        if (rowProblems_ > 0) return;
        if (slave == kNoSlave)
            rows.rs232Row = record.row;
        else
            rows.slaveRows[slave] = record.row;
    }

    // Names tell the signs apart in the table, the report and (read) the
    // files.
    void CheckName(const CsvRecord& record, const std::string& name) {
        if (auto same = nameRows_.find(name); same != nameRows_.end())
            return Problem(record, kName,
                           Quoted(name) + " is already the name of " + RowText(same->second));
        const std::string file = use_.fileName ? use_.fileName(name) : name;
        if (auto same = fileRows_.find(file); same != fileRows_.end())
            return Problem(record, kName,
                           Quoted(name) + " gives the file name " + Quoted(file + ".dat") +
                               " of " + RowText(same->second));
        if (rowProblems_ > 0) return;
        nameRows_[name] = record.row;
        fileRows_[file] = record.row;
    }

    const std::string& folder_;
    const FleetSheetUse& use_;
    ProblemList problems_;
    SheetColumns columns_;
    int rowProblems_ = 0;
    std::vector<FleetLine> lines_;
    std::vector<LineRows> rows_;
    std::map<std::string, int> nameRows_, fileRows_;
    std::map<std::string, size_t> lineOfDevice_;
};

}  // namespace

std::vector<std::string> ReadFleetSheet(const std::string& csv, const std::string& folder,
                                        const FleetSheetUse& use, std::vector<FleetLine>* lines) {
    lines->clear();
    return SheetReader(folder, use).Read(csv, lines);
}

}  // namespace kvt
