#include "tools/inventory/inventory_export.h"

#include <mysqld_error.h>

#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "platform/native_platform.h"
#include "platform/text_codec.h"
#include "tools/inventory/inventory_connection.h"
#include "tools/inventory/server_address.h"

namespace vt::inventory {

namespace {

// Client library errors (no answer, lost connection, time-out, unknown host) start here.
constexpr unsigned kFirstClientError = 2000;

struct Credentials {
    std::string server;
    std::string login;
    std::string password;
};

std::optional<Credentials> credentialsOf(std::span<const std::string> arguments,
                                         std::string_view environmentPassword) {
    if (arguments.size() < 2 || arguments[0].empty() || arguments[1].empty()) {
        return std::nullopt;
    }
    if (arguments.size() == 2) {
        return Credentials{arguments[0], arguments[1], std::string(environmentPassword)};
    }
    Credentials credentials{arguments[0], arguments[1], arguments[2]};
    for (std::size_t i = 3; i < arguments.size(); ++i) {
        credentials.password += ' ';
        credentials.password += arguments[i];
    }
    return credentials;
}

std::string connectionFailure(const DatabaseError& error, const Credentials& credentials) {
    const std::string database(kInventoryDatabase);
    switch (error.code) {
        case ER_ACCESS_DENIED_ERROR:
            return "connexion refusée par le serveur d'inventaire " + credentials.server +
                   " pour l'utilisateur " + credentials.login;
        case ER_DBACCESS_DENIED_ERROR:
            return "accès à la base " + database + " refusé à l'utilisateur " + credentials.login;
        case ER_BAD_DB_ERROR:
            return "base " + database + " absente du serveur d'inventaire " + credentials.server;
        default:
            if (error.code >= kFirstClientError) {
                return "serveur d'inventaire " + credentials.server + " injoignable";
            }
            return "connexion impossible au serveur d'inventaire " + credentials.server;
    }
}

std::string readingFailure(const DatabaseError& error, const ExportTable& table,
                           const Credentials& credentials) {
    const std::string name(table.table);
    switch (error.code) {
        case ER_NO_SUCH_TABLE:
            return "table " + name + " absente de la base " + std::string(kInventoryDatabase);
        case ER_BAD_FIELD_ERROR:
            return "colonne absente de la table " + name;
        case ER_TABLEACCESS_DENIED_ERROR:
        case ER_COLUMNACCESS_DENIED_ERROR:
            return "lecture de la table " + name + " refusée à l'utilisateur " + credentials.login;
        default:
            if (error.code >= kFirstClientError) {
                return "connexion perdue avec le serveur d'inventaire " + credentials.server +
                       " pendant la lecture de la table " + name;
            }
            return "lecture de la table " + name + " impossible";
    }
}

// One line whatever the names and the server's own text hold.
int report(std::ostream& errors, const ExportTable& table, const std::string& cause,
           const DatabaseError* error = nullptr) {
    std::string line = std::string(table.toolName) + " : " + cause + " ; l'export précédent " +
                       std::string(table.fileName) + " est conservé";
    if (error != nullptr) {
        line += " (erreur " + std::to_string(error->code) + " : " + error->text + ")";
    }
    errors << withoutLineBreaks(line) << '\n';
    return 1;
}

}  // namespace

int runInventoryExport(const ExportTable& table, std::span<const std::string> arguments,
                       std::string_view environmentPassword, platform::FileSystem& files,
                       std::ostream& errors) {
    const std::optional<Credentials> credentials = credentialsOf(arguments, environmentPassword);
    if (!credentials) {
        errors << "usage : " << table.toolName << " SERVEUR[:PORT] UTILISATEUR [MOT_DE_PASSE]\n";
        return 1;
    }
    const std::optional<ServerAddress> server = parseServerAddress(credentials->server);
    if (!server) {
        return report(errors, table, "adresse de serveur invalide : " + credentials->server);
    }

    InventoryConnection connection;
    if (!connection.open(*server, credentials->login, credentials->password, kInventoryDatabase)) {
        return report(errors, table, connectionFailure(connection.error(), *credentials),
                      &connection.error());
    }
    // Each record is encoded as it arrives, so the export is held once, in its final bytes.
    std::string bytes;
    std::string record;
    const bool read = connection.readRows(
        selectStatement(table), [&bytes, &record](std::span<const std::string_view> values) {
            record.clear();
            appendRecord(record, values);
            bytes += platform::toWindows1252(record);
        });
    if (!read) {
        return report(errors, table, readingFailure(connection.error(), table, *credentials),
                      &connection.error());
    }
    if (!files.writeFile(table.fileName, bytes)) {
        return report(errors, table,
                      "impossible de créer le fichier " + std::string(table.fileName));
    }
    return 0;
}

int inventoryToolMain(const ExportTable& table, int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(platform::argumentText(argv[i]));
    }
    const std::unique_ptr<platform::NativePlatform> native = platform::createNativePlatform();
    const std::string password = platform::argumentText(
        native->platform().system.environment(kPasswordVariable).value_or(std::string()));
    return runInventoryExport(table, arguments, password, native->platform().files, std::cerr);
}

}  // namespace vt::inventory
