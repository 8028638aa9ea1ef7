#include "tools/inventory/inventory_export.h"

#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "platform/native_platform.h"
#include "platform/text_codec.h"
#include "tools/inventory/database_errors.h"
#include "tools/inventory/inventory_connection.h"
#include "tools/inventory/server_address.h"

namespace vt::inventory {

namespace {

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

// The names a failure speaks of: never the password.
FailureNames namesOf(const Credentials& credentials, const ExportTable& table) {
    return {credentials.server, credentials.login, kInventoryDatabase, table.table};
}

// One line whatever the names hold.
int report(std::ostream& errors, const ExportTable& table, const std::string& cause) {
    errors << withoutLineBreaks(std::string(table.toolName) + " : " + cause +
                                " ; l'export précédent " + std::string(table.fileName) +
                                " est conservé")
           << '\n';
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
        return report(errors, table,
                      failureCause(connection.errorCode(), DatabaseStep::Connecting,
                                   namesOf(*credentials, table)));
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
        return report(errors, table,
                      failureCause(connection.errorCode(), DatabaseStep::Reading,
                                   namesOf(*credentials, table)));
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
