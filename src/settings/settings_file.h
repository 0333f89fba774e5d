// The settings file (*.dat): 996 values, one per line, CR LF line ends.
// Order: charColor, edgeColor, blinkMode (224 each, page outer, line inner),
// whiteLevel, displayTime, fillMask (32 each), hPosition, vPosition,
// currentPage, sequenceMode, then 224 line texts ("s" for an empty text).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/panel_settings.h"

namespace kvt {

// The bytes WriteSettingsFile would write for the store and the selected page.
std::string FormatSettings(const PanelSettings& settings, int currentPage);

// Reads values in file order from whitespace-separated tokens into the
// store. A number that cannot be read leaves its field as it was and
// consumes nothing; a text token longer than 33 bytes is cut at 33 and the
// rest of the token skipped; "s" reads as "". Validates nothing.
void ParseSettings(const std::string& bytes, PanelSettings* settings, int* currentPage);

// Why a store cannot be saved so that it reads back the same, or "" when it
// can: a line text holding a whitespace byte, exactly "s", or longer than 33
// bytes. The message names the page and the line.
std::string UnsaveableTextReason(const PanelSettings& settings);

enum class SaveResult { Ok, Refused, CannotOpen, CannotWrite };

enum class ReadResult { Ok, CannotOpen, TooLarge };

// Reads the file at path into the store (ParseSettings). CannotOpen when the
// file cannot be opened or read, TooLarge when it holds more than 1 MiB;
// the store is then unchanged.
ReadResult ReadSettings(const std::string& path, PanelSettings* settings, int* currentPage);
// Why a read failed: "Can't file open", or "Can't file open: PATH is larger
// than 1 MiB (1048576 bytes)".
std::string ReadFailureMessage(ReadResult result, const std::string& path);
// ReadSettings, true when it read the file; otherwise *message (if given)
// says why.
bool ReadSettingsFile(const std::string& path, PanelSettings* settings, int* currentPage,
                      std::string* message = nullptr);

// "Can't file open: PATH is larger than 1 MiB (1048576 bytes)": also for
// other files the program reads whole.
std::string TooLargeMessage(const std::string& path);


// Writes bytes to path safely: to a temporary file in the same folder,
// flushed, synced, and renamed over path (a symbolic link is followed). A
// device or a pipe is written in place, never replaced. On failure the
// temporary file is removed and any old file at path is left untouched;
// *message (if given) receives "Can't file open" or "Can't file write".
SaveResult SaveWholeFile(const std::string& path, const std::string& bytes,
                         std::string* message = nullptr);

// Many files saved as SaveWholeFile saves one, for a program that must not
// wait for the disk file by file: Write leaves each file's bytes in a
// temporary file beside it, not yet synced; Finish syncs their file systems
// once and renames each over its file. Files of a batch never finished are
// not saved (their temporary files removed).
class SaveBatch {
public:
    SaveBatch() = default;
    ~SaveBatch();
    SaveBatch(const SaveBatch&) = delete;
    SaveBatch& operator=(const SaveBatch&) = delete;

    // Refused as SaveWholeFile refuses; a device or a pipe is written at once.
    SaveResult Write(const std::string& path, const std::string& bytes,
                     std::string* message = nullptr);
    // The paths (as given to Write) that could not be put in place, each
    // with "Can't file write: " and the reason.
    std::map<std::string, std::string> Finish();

private:
    struct Pending {
        std::string path, target, temp;
    };
    std::vector<Pending> pending_;
    std::map<std::string, int> folders_;  // their descriptors, open until Finish
};

// Writes the store to path as SaveWholeFile does, or through the batch when
// one is given; refused before anything is written when
// UnsaveableTextReason() is not empty.
SaveResult WriteSettingsFile(const std::string& path, const PanelSettings& settings,
                             int currentPage, std::string* message, SaveBatch* batch = nullptr);

}  // namespace kvt
