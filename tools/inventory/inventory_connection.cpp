#include "tools/inventory/inventory_connection.h"

#include <errmsg.h>
#include <mysql.h>

#include <memory>
#include <vector>

namespace vt::inventory {

namespace {

// The client library keeps process-wide state; it is set up once and released at exit so
// that nothing it allocated outlives the program's own objects.
class ClientLibrary {
public:
    ClientLibrary() { m_ready = mysql_library_init(0, nullptr, nullptr) == 0; }
    ~ClientLibrary() {
        if (m_ready) {
            mysql_library_end();
        }
    }
    ClientLibrary(const ClientLibrary&) = delete;
    ClientLibrary& operator=(const ClientLibrary&) = delete;

    bool ready() const { return m_ready; }

private:
    bool m_ready = false;
};

bool clientLibraryReady() {
    static const ClientLibrary library;
    return library.ready();
}

}  // namespace

InventoryConnection::InventoryConnection() {
    if (clientLibraryReady()) {
        m_handle = mysql_init(nullptr);
    }
}

InventoryConnection::~InventoryConnection() {
    if (m_handle != nullptr) {
        mysql_close(m_handle);
    }
}

bool InventoryConnection::failed() {
    m_errorCode = m_handle == nullptr ? CR_OUT_OF_MEMORY : mysql_errno(m_handle);
    return false;
}

bool InventoryConnection::open(const ServerAddress& server, const std::string& login,
                               const std::string& password, std::string_view database) {
    if (m_handle == nullptr) {
        return failed();
    }
    const auto seconds = static_cast<unsigned>(kServerTimeout.count());
    // The server is a network address, "localhost" included: the client library would
    // otherwise take "localhost" for its local socket and ignore the port.
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    // Text arrives as UTF-8 whatever the tables' own character sets are.
    if (mysql_options(m_handle, MYSQL_OPT_CONNECT_TIMEOUT, &seconds) != 0 ||
        mysql_options(m_handle, MYSQL_OPT_READ_TIMEOUT, &seconds) != 0 ||
        mysql_options(m_handle, MYSQL_OPT_WRITE_TIMEOUT, &seconds) != 0 ||
        mysql_options(m_handle, MYSQL_OPT_PROTOCOL, &protocol) != 0 ||
        mysql_options(m_handle, MYSQL_SET_CHARSET_NAME, "utf8mb4") != 0) {
        return failed();
    }
    const std::string databaseName(database);
    if (mysql_real_connect(m_handle, server.host.c_str(), login.c_str(), password.c_str(),
                           databaseName.c_str(), server.port, nullptr, 0) == nullptr) {
        return failed();
    }
    return true;
}

bool InventoryConnection::readRows(const std::string& statement, const RowHandler& onRow) {
    if (m_handle == nullptr ||
        mysql_real_query(m_handle, statement.data(), statement.size()) != 0) {
        return failed();
    }
    const std::unique_ptr<MYSQL_RES, decltype(&mysql_free_result)> result(
        mysql_use_result(m_handle), &mysql_free_result);
    if (!result) {
        return failed();
    }
    std::vector<std::string_view> values(mysql_num_fields(result.get()));
    while (const MYSQL_ROW row = mysql_fetch_row(result.get())) {
        const unsigned long* lengths = mysql_fetch_lengths(result.get());
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] =
                row[i] == nullptr ? std::string_view() : std::string_view(row[i], lengths[i]);
        }
        onRow(values);
    }
    // A row fetch also ends on a lost connection or a time-out, which only the error tells.
    if (mysql_errno(m_handle) != 0) {
        return failed();
    }
    return true;
}

}  // namespace vt::inventory
