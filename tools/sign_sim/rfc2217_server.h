// The simulated sign's end of a connection in RFC 2217 mode (--rfc2217),
// as a network serial server offers it: Telnet with COM-PORT-OPTION. It
// takes Telnet out of what the client sends, answers the negotiation,
// records each line setting asked for and confirms it, and puts the sign's
// replies on the connection with 0xFF doubled. For the tests it can refuse
// COM-PORT-OPTION, leave one setting unconfirmed, and slip Telnet commands
// into the replies.
#pragma once

#include <string>
#include <vector>

#include "serial/telnet_codec.h"
#include "sim_options.h"

namespace kvt::sim {

class Rfc2217Server {
public:
    // requests: where each line setting asked for is recorded, as
    // "SET-BAUDRATE 38400".
    Rfc2217Server(const SimOptions& options, std::vector<std::string>* requests);

    // What the server says as the client connects.
    std::string Greeting();
    // Takes Telnet out of count received bytes, in place; returns the
    // number of data bytes and appends the answers due to *answers.
    std::size_t Receive(char* bytes, std::size_t count, std::string* answers);
    // The sign's bytes as they go on the connection.
    std::string Send(const std::string& bytes) const;

    // The name of a COM-PORT-OPTION command, as --rfc2217-no-ack takes it
    // ("" for one we do not know).
    static std::string CommandName(int command);

private:
    void Take(const telnet::Event& event, std::string* answers);

    const SimOptions& options_;
    std::vector<std::string>* requests_;
    telnet::Decoder decoder_;
    telnet::Negotiator negotiator_;
};

}  // namespace kvt::sim
