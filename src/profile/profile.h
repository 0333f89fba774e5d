// The profile: the INI file "KVT540M.INI" in $XDG_CONFIG_HOME (default
// ~/.config). Section "KVT-540-M_Section" holds the link choices
// ("com_port", "rs_control"); section "Devices" maps "COM1".."COM3" to
// device paths (defaults /dev/ttyS0../dev/ttyS2).
#pragma once

#include <string>

namespace kvt {

// The keys of section "KVT-540-M_Section".
constexpr const char* kComPortKey = "com_port";            // 0 COM1, 1 COM2, 2 COM3
constexpr const char* kRsControlKey = "rs_control";        // 0 RS-232C, 1 RS-485
constexpr const char* kFastTransferKey = "fast_transfer";  // 1: runs at the pace of the replies
constexpr const char* kTraceFileKey = "trace_file";        // a file every line is appended to
constexpr const char* kLanguageKey = "language";           // "en", "ja"; none: the desktop's
// Of section "Preview": "x y width height" of the preview window.
constexpr const char* kPreviewGeometryKey = "Preview/geometry";
// Of section "Fleet": "width height" of the fleet window.
constexpr const char* kFleetSizeKey = "Fleet/size";

std::string ProfilePath();
// "KVT-540-M_Section/KEY", for the string functions below.
std::string LinkSectionKey(const std::string& key);

// Integer of section "KVT-540-M_Section"; def when missing or not a number.
int ReadProfileInt(const std::string& key, int def);
// Writes it and flushes the file. False when the file could not be written.
bool WriteProfileInt(const std::string& key, int value);

// A text value of any section, key "Section/name"; def when missing.
std::string ReadProfileString(const std::string& key, const std::string& def = "");
// Writes it and flushes the file. False when the file could not be written.
bool WriteProfileString(const std::string& key, const std::string& value);

// Maps port index 0..2 (COM1..COM3) to a device path or network address in
// section "Devices". False when the file could not be written.
bool WriteDevicePath(int portIndex, const std::string& device);

// Device path of a port index (0 COM1, 1 COM2, 2 COM3). An index outside
// 0..2 is taken as 0 (COM1).
std::string PortDevicePath(int portIndex);

// "COM1".."COM3" (any case) through the mapping; anything else is taken as a
// device path as it stands.
std::string ResolvePortName(const std::string& name);

// "language" of section "KVT-540-M_Section": "en" or "ja" as chosen, "" when
// the desktop's language decides.
std::string ReadProfileLanguage();
bool WriteProfileLanguage(const std::string& language);

// comPortIndex and lineMode from the profile, as the main frame does at start.
void LoadLinkChoicesFromProfile(int* comPortIndex, int* lineMode);

}  // namespace kvt
