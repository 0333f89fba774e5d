#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/bounded_read.h"
#include "settings/panel_settings.h"

namespace kvt {

namespace {

// The reader keeps at most this many bytes of a text token (its buffer
// holds 34 bytes with the terminator).
constexpr size_t kMaxTextToken = 33;

const char* const kCantOpen = "Can't file open";
const char* const kCantWrite = "Can't file write";

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A cursor over the file's bytes with the two read operations of the format.
class TokenReader {
public:
    explicit TokenReader(const std::string& bytes) : bytes_(bytes) {}

    // An optionally signed decimal number. When none can be read here the
    // field keeps its value and nothing is consumed. Values beyond the range
    // of int are clamped to INT_MIN / INT_MAX (all their digits consumed).
    void ReadNumber(int* field) {
        size_t pos = SkipBlanks(pos_);
        bool negative = false;
        if (pos < bytes_.size() && (bytes_[pos] == '+' || bytes_[pos] == '-')) {
            negative = bytes_[pos] == '-';
            ++pos;
        }
        if (pos >= bytes_.size() || !IsDigit(bytes_[pos])) return;
        long long value = 0;
        const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
        for (; pos < bytes_.size() && IsDigit(bytes_[pos]); ++pos) {
            value = value * 10 + (bytes_[pos] - '0');
            if (value > limit) value = limit;
        }
        *field = static_cast<int>(negative ? -value : value);
        pos_ = SkipBlanks(pos);
    }

    // The next token, cut at 33 bytes (the rest of the token is skipped).
    // "s" stands for the empty text; at the end of the file the text is "".
    // The program holds texts as C strings, so a NUL byte ends the text.
    std::string ReadText() {
        size_t start = SkipBlanks(pos_);
        size_t end = start;
        while (end < bytes_.size() && !IsBlank(bytes_[end])) ++end;
        pos_ = SkipBlanks(end);
        std::string text = bytes_.substr(start, std::min(end - start, kMaxTextToken));
        text = text.substr(0, text.find('\0'));
        return text == "s" ? std::string() : text;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    size_t SkipBlanks(size_t pos) const {
        while (pos < bytes_.size() && IsBlank(bytes_[pos])) ++pos;
        return pos;
    }

    const std::string& bytes_;
    size_t pos_ = 0;
};

void AppendNumber(std::string* out, int value) {
    *out += std::to_string(value);
    *out += "\r\n";
}

// Writes all bytes to fd, retrying short writes and interruptions.
bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a save should replace: a symbolic link is followed (also when it
// dangles) so that the link stays and what it points to gets the new data.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        ssize_t n = readlink(path.c_str(), &target[0], target.size());
        if (n <= 0) return path;
        target.resize(static_cast<size_t>(n));
        path = target[0] == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    return path;
}

// Permissions a newly created file gets: 0666 less the umask, as fopen
// would give it. umask can only be read by setting it; the tool's file
// commands run on one thread, so the brief change is harmless.
mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

template <typename Result>
Result Fail(Result result, const std::string& text, std::string* message) {
    if (message) *message = text;
    return result;
}

// Devices and pipes cannot be replaced by a rename; they are written in
// place, as the program always did.
SaveResult WriteInPlace(const std::string& path, const std::string& bytes, std::string* message) {
    int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return Fail(SaveResult::CannotOpen, kCantOpen, message);
    bool ok = WriteAll(fd, bytes);
    if (close(fd) != 0) ok = false;
    return ok ? SaveResult::Ok : Fail(SaveResult::CannotWrite, kCantWrite, message);
}

// Writes the bytes to a new temporary file beside the target (synced to
// the disk when asked), *temp naming it; a device or a pipe is written in
// place at once, *temp left empty.
SaveResult WriteTemporary(const std::string& target, const std::string& bytes, bool sync,
                          std::string* temp, std::string* message) {
    struct stat old;
    bool exists = stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return Fail(SaveResult::CannotOpen, kCantOpen, message);
    if (exists && !S_ISREG(old.st_mode)) return WriteInPlace(target, bytes, message);
    // A file its owner made read-only is not replaced behind their back.
    if (exists && access(target.c_str(), W_OK) != 0)
        return Fail(SaveResult::CannotOpen, kCantOpen, message);

    std::string path = DirectoryOf(target) + "/.kvt540m-save-XXXXXX";
    int fd = mkstemp(&path[0]);
    if (fd < 0) return Fail(SaveResult::CannotOpen, kCantOpen, message);

    bool ok = fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode()) == 0;
    if (exists && fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only root may give a file away; for anybody else the new file is
        // their own, which is no reason to refuse the save.
    }
    ok = ok && WriteAll(fd, bytes) && (!sync || fsync(fd) == 0);
    if (close(fd) != 0) ok = false;
    if (!ok) {
        unlink(path.c_str());
        return Fail(SaveResult::CannotWrite, kCantWrite, message);
    }
    *temp = path;
    return SaveResult::Ok;
}

// Makes the renames in a folder durable; a failure here loses nothing
// already written, so it is not reported.
void SyncFolder(const std::string& dir) {
    int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
}

// Writes a temporary file beside the target and renames it over the target.
SaveResult ReplaceFile(const std::string& target, const std::string& bytes, std::string* message) {
    std::string temp;
    const SaveResult written = WriteTemporary(target, bytes, true, &temp, message);
    if (written != SaveResult::Ok || temp.empty()) return written;
    if (rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return Fail(SaveResult::CannotWrite, kCantWrite, message);
    }
    SyncFolder(DirectoryOf(target));
    return SaveResult::Ok;
}

}  // namespace

std::string FormatSettings(const PanelSettings& s, int currentPage) {
    std::string out;
    out.reserve(4096);
    for (const auto* table : {&s.charColor, &s.edgeColor, &s.blinkMode})
        for (int p = 0; p < kPageCount; ++p)
            for (int k = 0; k < kLineCount; ++k) AppendNumber(&out, (*table)[p][k]);
    for (const auto* table : {&s.whiteLevel, &s.displayTime, &s.fillMask})
        for (int p = 0; p < kPageCount; ++p) AppendNumber(&out, (*table)[p]);
    AppendNumber(&out, s.hPosition);
    AppendNumber(&out, s.vPosition);
    AppendNumber(&out, currentPage);
    AppendNumber(&out, s.sequenceMode);
    for (int p = 0; p < kPageCount; ++p)
        for (int k = 0; k < kLineCount; ++k) {
            const std::string& text = s.lineText[p][k];
            out += text.empty() ? std::string("s") : text;
            out += "\r\n";
        }
    return out;
}

void ParseSettings(const std::string& bytes, PanelSettings* settings, int* currentPage) {
    PanelSettings& s = *settings;
    TokenReader reader(bytes);
    for (auto* table : {&s.charColor, &s.edgeColor, &s.blinkMode})
        for (int p = 0; p < kPageCount; ++p)
            for (int k = 0; k < kLineCount; ++k) reader.ReadNumber(&(*table)[p][k]);
    for (auto* table : {&s.whiteLevel, &s.displayTime, &s.fillMask})
        for (int p = 0; p < kPageCount; ++p) reader.ReadNumber(&(*table)[p]);
    reader.ReadNumber(&s.hPosition);
    reader.ReadNumber(&s.vPosition);
    reader.ReadNumber(currentPage);
    reader.ReadNumber(&s.sequenceMode);
    for (int p = 0; p < kPageCount; ++p)
        for (int k = 0; k < kLineCount; ++k) s.lineText[p][k] = reader.ReadText();
}

std::string UnsaveableTextReason(const PanelSettings& settings) {
    for (int p = 0; p < kPageCount; ++p)
        for (int k = 0; k < kLineCount; ++k) {
            const std::string& text = settings.lineText[p][k];
            const char* why = nullptr;
            if (text.size() > kMaxTextToken)
                why = "is longer than 33 bytes";
            else if (text == "s")
                why = "is the single letter \"s\", which reads back as an empty line";
            else if (text.find('\0') != std::string::npos)
                why = "holds a NUL byte";
            else
                for (unsigned char c : text)
                    if (IsBlank(c)) why = "holds a blank, tab or line break";
            if (why) {
                char buf[160];
                std::snprintf(buf, sizeof buf, "Can't save: the text of page %02d line %d %s", p + 1,
                              k + 1, why);
                return buf;
            }
        }
    return "";
}

std::string TooLargeMessage(const std::string& path) {
    return std::string(kCantOpen) + ": " + path + " is larger than " + kMaxInputText;
}

ReadResult ReadSettings(const std::string& path, PanelSettings* settings, int* currentPage) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return ReadResult::CannotOpen;
    std::string bytes;
    const BoundedRead read = ReadWholeStream(file, &bytes);
    std::fclose(file);
    if (read == BoundedRead::TooLarge) return ReadResult::TooLarge;
    if (read != BoundedRead::Ok) return ReadResult::CannotOpen;
    ParseSettings(bytes, settings, currentPage);
    return ReadResult::Ok;
}

std::string ReadFailureMessage(ReadResult result, const std::string& path) {
    return result == ReadResult::TooLarge ? TooLargeMessage(path) : kCantOpen;
}

bool ReadSettingsFile(const std::string& path, PanelSettings* settings, int* currentPage,
                      std::string* message) {
    const ReadResult read = ReadSettings(path, settings, currentPage);
    if (read == ReadResult::Ok) return true;
    if (message) *message = ReadFailureMessage(read, path);
    return false;
}

SaveResult WriteSettingsFile(const std::string& path, const PanelSettings& settings,
                             int currentPage, std::string* message, SaveBatch* batch) {
    std::string reason = UnsaveableTextReason(settings);
    if (!reason.empty()) {
        if (message) *message = reason;
        return SaveResult::Refused;
    }
    const std::string bytes = FormatSettings(settings, currentPage);
    return batch ? batch->Write(path, bytes, message) : SaveWholeFile(path, bytes, message);
}

SaveResult SaveWholeFile(const std::string& path, const std::string& bytes, std::string* message) {
    if (path.empty()) return Fail(SaveResult::CannotOpen, kCantOpen, message);
    return ReplaceFile(FollowLinks(path), bytes, message);
}

SaveBatch::~SaveBatch() {
    for (const Pending& file : pending_) unlink(file.temp.c_str());
    for (const auto& folder : folders_) close(folder.second);
}

SaveResult SaveBatch::Write(const std::string& path, const std::string& bytes,
                            std::string* message) {
    if (path.empty()) return Fail(SaveResult::CannotOpen, kCantOpen, message);
    const std::string target = FollowLinks(path);
    // The folder is held from before its first file is written, so that its
    // file system's sync reports every write-back error since.
    const std::string dir = DirectoryOf(target);
    if (!folders_.count(dir)) {
        const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return Fail(SaveResult::CannotOpen, kCantOpen, message);
        folders_[dir] = fd;
    }
    std::string temp;
    const SaveResult written = WriteTemporary(target, bytes, false, &temp, message);
    if (written == SaveResult::Ok && !temp.empty()) pending_.push_back({path, target, temp});
    return written;
}

std::map<std::string, std::string> SaveBatch::Finish() {
    std::map<std::string, std::string> failed, unsynced;
    for (const auto& folder : folders_)
        if (syncfs(folder.second) != 0) unsynced[folder.first] = std::strerror(errno);
    for (const Pending& file : pending_) {
        std::string why;
        if (auto folder = unsynced.find(DirectoryOf(file.target)); folder != unsynced.end())
            why = folder->second;
        else if (rename(file.temp.c_str(), file.target.c_str()) != 0)
            why = std::strerror(errno);
        else
            continue;
        failed[file.path] = std::string(kCantWrite) + ": " + why;
        unlink(file.temp.c_str());
    }
    pending_.clear();
    for (const auto& folder : folders_) {
        fsync(folder.second);  // the renames, as a single save does
        close(folder.second);
    }
    folders_.clear();
    return failed;
}

}  // namespace kvt
