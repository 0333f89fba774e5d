#include "rfc2217_server.h"

#include "serial/com_port_control.h"

namespace kvt::sim {

namespace {

using namespace kvt::telnet;

std::string Subnegotiation(const std::string& body) {
    return std::string{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(kComPort)} +
           Escape(body.data(), body.size()) + std::string{static_cast<char>(kIac), static_cast<char>(kSe)};
}

// NOTIFY-LINESTATE and NOTIFY-MODEMSTATE, as a server sends them unasked.
const std::string kLineState = Subnegotiation({106, 0x60});
const std::string kModemState = Subnegotiation({107, static_cast<char>(0xB0)});
const std::string kNopCommand{static_cast<char>(kIac), static_cast<char>(kNop)};

}  // namespace

Rfc2217Server::Rfc2217Server(const SimOptions& options, std::vector<std::string>* requests)
    : options_(options), requests_(requests) {}

std::string Rfc2217Server::CommandName(int command) {
    switch (command) {
    case ComPortControl::kSetBaudRate: return "SET-BAUDRATE";
    case ComPortControl::kSetDataSize: return "SET-DATASIZE";
    case ComPortControl::kSetParity: return "SET-PARITY";
    case ComPortControl::kSetStopSize: return "SET-STOPSIZE";
    case ComPortControl::kSetControl: return "SET-CONTROL";
    case ComPortControl::kPurgeData: return "PURGE-DATA";
    default: return "";
    }
}

std::string Rfc2217Server::Greeting() {
    std::string out;
    if (!options_.rfc2217Refuse) out += negotiator_.AskRemote(kComPort);
    for (unsigned char option : {kBinary, kSuppressGoAhead})
        out += negotiator_.AskLocal(option) + negotiator_.AskRemote(option);
    // Options the sign's client has no use for: ECHO offered, TERMINAL-TYPE
    // asked for.
    if (options_.rfc2217Chatter) out += Command(kWill, 1) + Command(kDo, 24) + kNopCommand + kModemState;
    return out;
}

std::size_t Rfc2217Server::Receive(char* bytes, std::size_t count, std::string* answers) {
    std::vector<Event> events;
    const std::size_t data = decoder_.Decode(bytes, count, bytes, &events);
    for (const Event& event : events) Take(event, answers);
    return data;
}

void Rfc2217Server::Take(const Event& event, std::string* answers) {
    if (event.kind == Event::Kind::Negotiation) {
        *answers += negotiator_.Answer(event.code, event.option);
        return;
    }
    if (event.kind != Event::Kind::Subnegotiation || event.code != kComPort || event.payload.empty() ||
        negotiator_.remote(kComPort) != Negotiator::State::On)
        return;
    const int command = static_cast<unsigned char>(event.payload[0]);
    long value = 0;
    for (std::size_t i = 1; i < event.payload.size() && i <= 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(event.payload[i]);
    const std::string name = CommandName(command);
    if (!name.empty()) requests_->push_back(name + " " + std::to_string(value));
    if (name.empty() || name == options_.rfc2217NoAck) return;
    // Confirmed as asked: the command + 100 with the same value.
    std::string answer = event.payload;
    answer[0] = static_cast<char>(command + ComPortControl::kAnswerOffset);
    *answers += Subnegotiation(answer);
}

std::string Rfc2217Server::Send(const std::string& bytes) const {
    const std::string wire = Escape(bytes.data(), bytes.size());
    if (!options_.rfc2217Chatter) return wire;
    // A NOP first and last, a notification in the middle (of the escaped
    // bytes, so never inside a doubled 0xFF: split at an even count of
    // 0xFF).
    std::size_t middle = wire.size() / 2;
    while (middle > 0 && static_cast<unsigned char>(wire[middle - 1]) == kIac) --middle;
    return kNopCommand + wire.substr(0, middle) + kLineState + wire.substr(middle) + kNopCommand;
}

}  // namespace kvt::sim
