#include "exchange/csv_reader.h"

namespace kvt {

namespace {

const char kBom[] = "\xEF\xBB\xBF";

class CsvScanner {
public:
    CsvScanner(const std::string& bytes, const std::function<void(const CsvRecord&)>& take,
               CsvError* error)
        : in_(bytes), take_(take), error_(error) {
        if (in_.compare(0, 3, kBom) == 0) at_ = 3;
    }

    bool Run() {
        while (at_ < in_.size()) {
            if (!ReadRecord()) return false;
        }
        return true;
    }

private:
    // One record, up to and including its line end.
    bool ReadRecord() {
        CsvRecord record;
        record.row = ++rows_;
        for (;;) {
            std::string cell;
            const int column = static_cast<int>(record.cells.size()) + 1;
            if (at_ < in_.size() && in_[at_] == '"') {
                if (!ReadQuoted(record.row, column, &cell)) return false;
            } else if (!ReadPlain(record.row, column, &cell)) {
                return false;
            }
            record.cells.push_back(std::move(cell));
            if (at_ < in_.size() && in_[at_] == ',') {
                ++at_;
                continue;
            }
            SkipLineEnd();
            take_(record);
            return true;
        }
    }

    // An unquoted cell runs to the next comma or line end; a quote in it
    // means the sheet was not saved as CSV, or was edited by hand wrongly.
    bool ReadPlain(int row, int column, std::string* cell) {
        const size_t start = at_;
        while (at_ < in_.size() && !IsCellEnd(in_[at_])) {
            if (in_[at_] == '"')
                return Fail(row, column, "a quote inside a cell that does not start with one");
            ++at_;
        }
        cell->assign(in_, start, at_ - start);
        return true;
    }

    bool ReadQuoted(int row, int column, std::string* cell) {
        ++at_;  // the opening quote
        for (;;) {
            const size_t quote = in_.find('"', at_);
            if (quote == std::string::npos) return Fail(row, column, "a quoted cell is not closed");
            cell->append(in_, at_, quote - at_);
            at_ = quote + 1;
            if (at_ < in_.size() && in_[at_] == '"') {  // a doubled quote stands for one
                *cell += '"';
                ++at_;
                continue;
            }
            if (at_ < in_.size() && !IsCellEnd(in_[at_]))
                return Fail(row, column, "text after the closing quote of a cell");
            return true;
        }
    }

    void SkipLineEnd() {
        if (at_ < in_.size() && in_[at_] == '\r') ++at_;
        if (at_ < in_.size() && in_[at_] == '\n') ++at_;
    }

    static bool IsCellEnd(char c) { return c == ',' || c == '\r' || c == '\n'; }

    bool Fail(int row, int column, const char* message) {
        error_->row = row;
        error_->column = column;
        error_->message = message;
        return false;
    }

    const std::string& in_;
    size_t at_ = 0;
    int rows_ = 0;
    const std::function<void(const CsvRecord&)>& take_;
    CsvError* error_;
};

}  // namespace

bool ReadCsv(const std::string& bytes, const std::function<void(const CsvRecord&)>& take,
             CsvError* error) {
    return CsvScanner(bytes, take, error).Run();
}

bool ReadCsv(const std::string& bytes, std::vector<CsvRecord>* records, CsvError* error) {
    records->clear();
    const auto keep = [records](const CsvRecord& record) { records->push_back(record); };
    return ReadCsv(bytes, keep, error);
}

}  // namespace kvt
