#pragma once

// A connection to the inventory database through MariaDB Connector/C, with bounded waits and
// UTF-8 text, that hands rows over as they arrive so a large table is never held twice.

#include <chrono>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "tools/inventory/server_address.h"

struct st_mysql;

namespace vt::inventory {

// Connecting, and every later wait for the server, gives up after this long.
inline constexpr std::chrono::seconds kServerTimeout{10};

class InventoryConnection {
public:
    InventoryConnection();
    ~InventoryConnection();
    InventoryConnection(const InventoryConnection&) = delete;
    InventoryConnection& operator=(const InventoryConnection&) = delete;

    bool open(const ServerAddress& server, const std::string& login, const std::string& password,
              std::string_view database);

    // The values of one row, in the order of the query's columns; NULL is an empty value.
    using RowHandler = std::function<void(std::span<const std::string_view> values)>;
    // Runs the query and hands each row to the handler as it arrives.
    bool readRows(const std::string& statement, const RowHandler& onRow);

    // The code of the failure when open or readRows returned false: a server error (below
    // 2000) or a client error (2000 and above). Its text is left aside: the tools speak French.
    unsigned errorCode() const { return m_errorCode; }

private:
    bool failed();

    st_mysql* m_handle = nullptr;
    unsigned m_errorCode = 0;
};

}  // namespace vt::inventory
