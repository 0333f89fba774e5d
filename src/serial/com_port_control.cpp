#include "serial/com_port_control.h"

#include "serial/telnet_codec.h"

namespace kvt {

const std::array<ComPortControl::Setting, ComPortControl::kSettingCount>& ComPortControl::Settings() {
    static const std::array<Setting, kSettingCount> kSettings = {{
        {kSetBaudRate, 38400, 4, "38400 bit/s"},
        {kSetDataSize, 8, 1, "8 data bits"},
        {kSetParity, 3, 1, "even parity"},
        {kSetStopSize, 1, 1, "1 stop bit"},
        {kSetControl, 3, 1, "hardware flow control"},
        {kPurgeData, 3, 1, "purging both buffers"},
    }};
    return kSettings;
}

std::string ComPortControl::Requests() {
    std::string out;
    for (const Setting& setting : Settings()) {
        std::string value;
        for (int shift = 8 * (setting.size - 1); shift >= 0; shift -= 8)
            value += static_cast<char>((setting.value >> shift) & 0xFF);
        out += {static_cast<char>(telnet::kIac), static_cast<char>(telnet::kSb),
                static_cast<char>(telnet::kComPort), static_cast<char>(setting.command)};
        out += telnet::Escape(value.data(), value.size());
        out += {static_cast<char>(telnet::kIac), static_cast<char>(telnet::kSe)};
    }
    return out;
}

void ComPortControl::TakeAnswer(const std::string& payload) {
    if (payload.empty()) return;
    const auto& settings = Settings();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (static_cast<unsigned char>(payload[0]) != settings[i].command + kAnswerOffset) continue;
        std::uint32_t value = 0;
        for (std::size_t k = 1; k < payload.size() && k <= 4; ++k)
            value = (value << 8) | static_cast<unsigned char>(payload[k]);
        answers_[i] = {true, value};
    }
}

bool ComPortControl::AllAnswered() const {
    for (const Answer& answer : answers_)
        if (!answer.seen) return false;
    return true;
}

std::string ComPortControl::Unconfirmed() const {
    std::string out;
    const auto& settings = Settings();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const Answer& answer = answers_[i];
        if (answer.seen && answer.value == settings[i].value) continue;
        out += out.empty() ? "" : ", ";
        out += settings[i].name;
        out += answer.seen ? " (answered " + std::to_string(answer.value) + ")" : " (no answer)";
    }
    return out;
}

}  // namespace kvt
