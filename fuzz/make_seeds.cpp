// kvt540m-fuzz-seeds DIR: writes the seed corpus of each fuzz target into
// DIR/<target>/, made by the program's own code: settings files written by
// the settings-file writer, reply streams as the simulated sign answers the
// read-back requests, the command builders' inputs and the texts they carry,
// sheets and JSON documents as export writes them, slave lists and network
// addresses.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "exchange/settings_json.h"
#include "exchange/texts_csv.h"
#include "fuzz/fuzz_support.h"
#include "protocol/jis.h"
#include "settings/cp932.h"
#include "settings/panel_settings.h"
#include "serial/com_port_control.h"
#include "serial/telnet_codec.h"
#include "settings/settings_file.h"
#include "tools/sign_sim/rfc2217_server.h"
#include "tools/sign_sim/sign_answers.h"
#include "transfer/run_steps.h"

using namespace kvt;

namespace {

std::string root;

bool Write(const std::string& target, const std::string& name, const std::string& bytes) {
    const std::string dir = root + "/" + target;
    ::mkdir(dir.c_str(), 0755);
    std::FILE* file = std::fopen((dir + "/" + name).c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::string Cp932(const char* utf8) {
    std::string out;
    Utf8ToCp932(utf8, &out);
    return out;
}

// A store unlike the defaults in every field the file and the wire carry.
void FillStore(PanelSettings* settings, int* currentPage) {
    ResetPanelSettings(settings);
    PanelSettings& s = *settings;
    const char* texts[] = {"ようこそ", "本日は晴天なり", "　全角空白　入り", "ⅰⅱⅲ髙﨑",
                           "お知らせ", "１０時より点検します", "亜亜亜亜亜亜亜亜亜亜亜亜亜亜"};
    for (int p = 0; p < kPageCount; ++p) {
        for (int k = 0; k < kLineCount; ++k) {
            if ((p + k) % 3 == 0) s.lineText[p][k] = Cp932(texts[(p + k) % 7]);
            s.charColor[p][k] = (p + k) % 9;
            s.edgeColor[p][k] = (p * 3 + k) % 8;
            s.blinkMode[p][k] = (p + 2 * k) % 5;
        }
        s.whiteLevel[p] = p % 2;
        s.displayTime[p] = (p * 7) % 100;
        s.fillMask[p] = (p * 5) & 0x7F;
    }
    s.hPosition = 12;
    s.vPosition = 3;
    s.sequenceMode = 0;
    *currentPage = 9;
}

std::string Int32(int32_t value) {
    std::string bytes(4, '\0');
    std::memcpy(&bytes[0], &value, 4);
    return bytes;
}

// The header of a command_builders input: page, slave, step, line mode,
// display on/off, store letter, spare.
std::string BuilderHeader(int page, int slave, int step, bool rs485, char storeLetter) {
    return Int32(page) + Int32(slave) + Int32(step) + std::string(1, rs485 ? 1 : 0) + "\1" +
           std::string(1, storeLetter) + std::string(1, '\0');
}

// The reply to every read-back request, as a sign holding the store sends them.
std::string ReadBackReplies(sim::SignState sign, const std::string& prefix) {
    std::string stream;
    for (int step = 1; step <= kReadBackLastStep; ++step) {
        const std::string request = ReadRequestAt(step);
        if (!request.empty()) stream += prefix + sim::AnswerLine(sign, request);
    }
    return stream;
}

// A reply stream in reads of the given sizes: each read is its length byte
// and its bytes.
std::string InReads(const std::string& stream, const std::vector<size_t>& sizes) {
    std::string out;
    size_t pos = 0;
    for (size_t i = 0; pos < stream.size(); ++i) {
        const size_t n = std::min(sizes[i % sizes.size()], stream.size() - pos);
        out += static_cast<char>(n);
        out += stream.substr(pos, n);
        pos += n;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvt540m-fuzz-seeds DIR\n");
        return 2;
    }
    root = argv[1];
    ::mkdir(root.c_str(), 0755);
    bool ok = true;

    sim::SignState sign;
    const std::string plain = FormatSettings(sign.settings, sign.currentPage);
    FillStore(&sign.settings, &sign.currentPage);
    const std::string filled = FormatSettings(sign.settings, sign.currentPage);
    // A hand-edited file: values out of range, LF line ends, a blank in a
    // text, a token longer than a text may be.
    std::string edited = filled;
    edited.replace(0, 1, "-12");
    edited.replace(edited.find("\r\n12\r\n"), 6, "\n99999999999\n");
    edited.replace(edited.rfind("\r\ns\r\n"), 5, "\na b\n" + std::string(40, 'x') + "\n");
    ok &= Write("settings_file", "default.dat", plain);
    ok &= Write("settings_file", "filled.dat", filled);
    ok &= Write("settings_file", "edited.dat", edited);
    ok &= Write("settings_file", "truncated.dat", filled.substr(0, filled.size() / 2));

    const std::string replies = ReadBackReplies(sign, "");
    ok &= Write("replies", "read-back", std::string(1, '\0') + replies);
    ok &= Write("replies", "read-back-rs485", std::string(1, '\1') + ReadBackReplies(sign, "05"));
    ok &= Write("replies", "answers-during-run",
                std::string(1, '\2') + "GO\r\nGN\r\nMENU\r\nE0\r\nE1\r\nE2\r\nE3\r\nXX\r\n");

    ok &= Write("line_framer", "read-back-in-reads", InReads(replies, {1, 7, 64, 255, 3}));
    ok &= Write("line_framer", "overlong-line", InReads(std::string(600, 'x') + "\r\nGO\r\n", {200}));
    ok &= Write("line_framer", "two-replies-one-read", InReads("GO\r\nE3\r\nGO\r\nE", {8, 5}));

    ok &= Write("command_builders", "filled-rs485", BuilderHeader(4, 5, 36, true, 'A') + filled);
    ok &= Write("command_builders", "default", BuilderHeader(0, 0, 1, false, 'N') + plain);
    ok &= Write("command_builders", "edited", BuilderHeader(31, 31, 103, true, 'A') + edited);

    std::string texts, codes;
    for (int p = 0; p < kPageCount; ++p)
        for (int k = 0; k < kLineCount; ++k) texts += sign.settings.lineText[p][k];
    for (unsigned code : {0x82A0u, 0x8140u, 0x889Fu, 0xFA40u, 0xFA5Cu, 0xED40u, 0xEEFCu, 0x2422u,
                          0x7C7Eu, 0x7E7Eu})
        codes += Int32(static_cast<int32_t>(code));
    ok &= Write("jis", "texts-cp932", texts);
    ok &= Write("jis", "texts-utf8", Cp932ToUtf8(texts));
    ok &= Write("jis", "codes", codes);

    PanelSettings handEdited = sign.settings;  // a text with a comma and quotes, a colour 12
    handEdited.lineText[2][1] = "a,\"b\"";
    handEdited.charColor[2][1] = 12;
    const std::string sheet = TextsToCsv(sign.settings);
    std::string lfSheet = sheet.substr(3);  // no byte order mark, LF line ends
    for (size_t cr = lfSheet.find('\r'); cr != std::string::npos; cr = lfSheet.find('\r', cr))
        lfSheet.erase(cr, 1);
    PanelSettings defaults;
    ResetPanelSettings(&defaults);
    ok &= Write("texts_csv", "filled.csv", sheet);
    ok &= Write("texts_csv", "default.csv", TextsToCsv(defaults));
    ok &= Write("texts_csv", "hand-edited.csv", TextsToCsv(handEdited));
    ok &= Write("texts_csv", "lf.csv", lfSheet);

    ok &= Write("settings_json", "filled.json", SettingsToJson(sign.settings, sign.currentPage));
    ok &= Write("settings_json", "default.json", SettingsToJson(defaults, 0));
    ok &= Write("settings_json", "hand-edited.json", SettingsToJson(handEdited, 40));

    const std::set<std::set<int>> slaveSets = {{0}, {31}, {0, 3, 5, 6, 7, 8, 9}, {1, 2, 30, 31}};
    int n = 0;
    for (const std::set<int>& slaves : slaveSets)
        ok &= Write("slave_list", "list" + std::to_string(++n), fuzz::SlaveListText(slaves));
    std::set<int> all;
    for (int slave = 0; slave <= 31; ++slave) all.insert(slave);
    ok &= Write("slave_list", "all", fuzz::SlaveListText(all));

    ok &= Write("tcp_address", "ipv4", "tcp://192.0.2.10:4001");
    ok &= Write("tcp_address", "ipv6", "tcp://[::1]:4001");
    ok &= Write("tcp_address", "name", "tcp://localhost:0");
    ok &= Write("tcp_address", "long-name", "tcp://" + Cp932ToUtf8(texts) + ":1");
    ok &= Write("tcp_address", "rfc2217", "rfc2217://[2001:db8::7]:65535");
    // Pasted from a file that begins with a byte order mark: clipped with the
    // mark as its first character.
    ok &= Write("tcp_address", "bom", "\xEF\xBB\xBF" + std::string(60, '/'));

    ok &= Write("fleet_sheet", "stations.csv",
                "\xEF\xBB\xBFport,slave,file,name\r\ntcp://192.0.2.10:4001,1,a.dat,North 1\r\n"
                "tcp://192.0.2.10:4001,02,b.dat,\r\nrfc2217://[::1]:4001,31,c.dat,South\r\n"
                "COM1,,d.dat,Office\r\n");
    ok &= Write("fleet_sheet", "refused.csv",
                "name,port,slave\nx,COM2,1\ny,COM2,1\nz,COM2,\n,COM3,32\n\"q\",,\n");

    // A telnet input: where a read ends (two bytes), then the stream. What
    // the simulated sign's RFC 2217 server says, chatter and 0xFF included,
    // and what we send it.
    sim::SimOptions chatty;
    chatty.rfc2217Chatter = true;
    std::vector<std::string> asked;
    sim::Rfc2217Server server(chatty, &asked);
    std::string answers, ours = ComPortControl::Requests() + telnet::Command(telnet::kWill, telnet::kComPort);
    server.Receive(&ours[0], ours.size(), &answers);
    const std::string session = server.Greeting() + answers + server.Send(replies.substr(0, 300)) +
                                server.Send("\xFFGO\r\n");
    ok &= Write("telnet", "server-session", std::string("\0\x2A", 2) + session);
    ok &= Write("telnet", "our-requests", std::string("\0\x07", 2) + ours);
    ok &= Write("telnet", "endless-subnegotiation",
                std::string("\0\x05", 2) + ours.substr(0, 6) + std::string(600, 'x') + "GO\r\n");

    if (!ok) std::fprintf(stderr, "kvt540m-fuzz-seeds: cannot write the seeds in %s\n", root.c_str());
    return ok ? 0 : 1;
}
