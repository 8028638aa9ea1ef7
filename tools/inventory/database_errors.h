#pragma once

// What a failure of the inventory database means, in French, for the administrator who reads
// the tools' error line. Only the error's code is read: the server's own text is English, and
// it quotes the account and the host as the server saw them.

#include <string>
#include <string_view>

namespace vt::inventory {

// The step that met the failure. A connection that drops before the server has said anything
// is a server that does not answer; dropped during the reading, it is a connection lost.
enum class DatabaseStep { Connecting, Reading };

// The names a cause speaks of, as the user gave them.
struct FailureNames {
    std::string_view server;
    std::string_view login;
    std::string_view database;
    std::string_view table;
};

// The cause of a failure of that code: a server error (below 2000) or one of the client
// library (2000 and above). A code without a text of its own is given by its number.
std::string failureCause(unsigned code, DatabaseStep step, const FailureNames& names);

}  // namespace vt::inventory
