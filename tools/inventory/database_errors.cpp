#include "tools/inventory/database_errors.h"

#include <errmsg.h>
#include <mysqld_error.h>

#include <utility>

namespace vt::inventory {

namespace {

// The text of a code, where "{serveur}", "{utilisateur}", "{base}" and "{table}" stand for the
// names; nothing for a code without a text of its own.
const char* causePattern(unsigned code, DatabaseStep step) {
    const bool reading = step == DatabaseStep::Reading;
    switch (code) {
        case ER_ACCESS_DENIED_ERROR:
        case ER_ACCESS_DENIED_NO_PASSWORD_ERROR:
            return "accès refusé par le serveur d'inventaire {serveur} : utilisateur "
                   "{utilisateur} inconnu ou mot de passe incorrect";
        case ER_DBACCESS_DENIED_ERROR:
            return "accès à la base {base} refusé à l'utilisateur {utilisateur}";
        case ER_BAD_DB_ERROR:
            return "base {base} absente du serveur d'inventaire {serveur}";
        case ER_NO_SUCH_TABLE:
            return "table {table} absente de la base {base}";
        case ER_BAD_FIELD_ERROR:
            return "colonne absente de la table {table}";
        case ER_TABLEACCESS_DENIED_ERROR:
        case ER_COLUMNACCESS_DENIED_ERROR:
            return "lecture de la table {table} refusée à l'utilisateur {utilisateur}";
        case ER_MUST_CHANGE_PASSWORD:
        case ER_MUST_CHANGE_PASSWORD_LOGIN:
            return "mot de passe de l'utilisateur {utilisateur} expiré sur le serveur "
                   "d'inventaire {serveur}";
        case ER_ACCOUNT_HAS_BEEN_LOCKED:
            return "compte de l'utilisateur {utilisateur} verrouillé sur le serveur "
                   "d'inventaire {serveur}";
        case ER_NOT_SUPPORTED_AUTH_MODE:
        case CR_AUTH_PLUGIN_CANNOT_LOAD:
        case CR_AUTH_PLUGIN_ERR:
            return "méthode d'authentification de l'utilisateur {utilisateur} non prise en "
                   "charge";
        case ER_HOST_NOT_PRIVILEGED:
            return "le serveur d'inventaire {serveur} refuse les connexions de cet ordinateur";
        case ER_HOST_IS_BLOCKED:
            return "le serveur d'inventaire {serveur} bloque cet ordinateur après trop de "
                   "connexions manquées";
        case ER_CON_COUNT_ERROR:
            return "trop de connexions ouvertes sur le serveur d'inventaire {serveur}";
        case ER_TOO_MANY_USER_CONNECTIONS:
        case ER_USER_LIMIT_REACHED:
            return "l'utilisateur {utilisateur} a atteint sa limite de connexions au serveur "
                   "d'inventaire {serveur}";
        case ER_SERVER_SHUTDOWN:
            return "serveur d'inventaire {serveur} en cours d'arrêt";
        case ER_QUERY_INTERRUPTED:
        case ER_CONNECTION_KILLED:
        case ER_STATEMENT_TIMEOUT:
            return reading ? "lecture de la table {table} interrompue par le serveur "
                             "d'inventaire {serveur}"
                           : "connexion interrompue par le serveur d'inventaire {serveur}";
        case CR_SOCKET_CREATE_ERROR:
        case CR_CONNECTION_ERROR:
        case CR_CONN_HOST_ERROR:
        case CR_IPSOCK_ERROR:
            return "serveur d'inventaire {serveur} injoignable";
        case CR_UNKNOWN_HOST:
            return "serveur d'inventaire {serveur} inconnu : aucune adresse ne porte ce nom";
        case CR_SERVER_GONE_ERROR:
        case CR_SERVER_LOST:
        case CR_SERVER_LOST_EXTENDED:
            return reading ? "connexion perdue avec le serveur d'inventaire {serveur} pendant "
                             "la lecture de la table {table}"
                           : "le serveur d'inventaire {serveur} ne répond pas";
        case CR_SSL_CONNECTION_ERROR:
            return "connexion chiffrée impossible avec le serveur d'inventaire {serveur}";
        case CR_VERSION_ERROR:
        case CR_SERVER_HANDSHAKE_ERR:
        case CR_MALFORMED_PACKET:
            return "réponse incompréhensible du serveur d'inventaire {serveur}";
        case CR_OUT_OF_MEMORY:
            return "mémoire insuffisante";
        default:
            return nullptr;
    }
}

// The pattern with its names put in, in one pass: a name that holds "{table}" stays as it is.
std::string filledIn(std::string_view pattern, const FailureNames& names) {
    const std::pair<std::string_view, std::string_view> marks[] = {{"{serveur}", names.server},
                                                                   {"{utilisateur}", names.login},
                                                                   {"{base}", names.database},
                                                                   {"{table}", names.table}};
    std::string text;
    while (!pattern.empty()) {
        bool replaced = false;
        for (const auto& [mark, value] : marks) {
            if (pattern.starts_with(mark)) {
                text += value;
                pattern.remove_prefix(mark.size());
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            text += pattern.front();
            pattern.remove_prefix(1);
        }
    }
    return text;
}

}  // namespace

std::string failureCause(unsigned code, DatabaseStep step, const FailureNames& names) {
    if (const char* pattern = causePattern(code, step)) {
        return filledIn(pattern, names);
    }
    std::string cause = filledIn("erreur du serveur d'inventaire {serveur} (code ", names) +
                        std::to_string(code) + ")";
    if (step == DatabaseStep::Reading) {
        cause += filledIn(" pendant la lecture de la table {table}", names);
    }
    return cause;
}

}  // namespace vt::inventory
