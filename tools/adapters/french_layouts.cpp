#include "tools/adapters/french_layouts.h"

#include <string_view>

#include "platform/text_codec.h"
#include "tools/adapters/hex_text.h"

namespace vt::adapters {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// A fixed text of the layouts, written here in UTF-8.
std::string french(std::string_view text) {
    return platform::toWindows1252(text);
}

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string suffixText(std::uint8_t suffix) {
    return "<" + hexByte(suffix) + ">";
}

std::string kindText(bool group) {
    return group ? "GROUPE" : "UNIQUE";
}

std::string stateText(NameState state) {
    switch (state) {
        case NameState::Registered:
            return "Inscrit";
        case NameState::Conflict:
            return "Conflit";
        case NameState::Deregistering:
            return french("Désinscription");
    }
    return "Inscrit";
}

// The lines that open every nbtstat output: the connection and the node's own address.
std::string nodeHeader(Ipv4Address local) {
    return std::string(kLineEnd) + french("Connexion au réseau local:") + std::string(kLineEnd) +
           french("Adresse IP du nœud : [") + toText(local) + french("] ID d'étendue : []") +
           std::string(kLineEnd) + std::string(kLineEnd);
}

std::string line(std::string_view text) {
    return std::string(text) + std::string(kLineEnd);
}

}  // namespace

std::string nodeStatusLayout(Ipv4Address local, const std::vector<NameTableRow>& rows,
                             const MacAddress& mac) {
    std::string text = nodeHeader(local);
    text += line("           Table de noms NetBIOS des ordinateurs distants");
    text += line("");
    text += line("       Nom               Type         Statut");
    text += line("    ---------------------------------------------");
    for (const NameTableRow& row : rows) {
        text += line("    " + padded(row.name, 15) + suffixText(row.suffix) + "  " +
                     padded(kindText(row.group), 12) + stateText(row.state));
    }
    text += line("");
    text += line("    Adresse MAC = " + formatMac(mac, MacCase::Upper));
    text += line("");
    return text;
}

std::string hostNotFoundLayout(Ipv4Address local) {
    return nodeHeader(local) + line(french("    Hôte introuvable.")) + line("");
}

std::string remoteCacheLayout(Ipv4Address local, const std::vector<CachedName>& names,
                              std::int64_t now) {
    std::string text = nodeHeader(local);
    std::string rows;
    for (const CachedName& entry : names) {
        if (entry.expiresAt <= now) {
            continue;
        }
        rows += line("    " + padded(entry.name, 15) + suffixText(entry.suffix) + "  " +
                     padded(kindText(entry.group), 16) + padded(toText(entry.address), 20) +
                     std::to_string(entry.expiresAt - now));
    }
    if (rows.empty()) {
        return text + line("    Aucun nom dans le cache") + line("");
    }
    text += line("                  Table de noms NetBIOS du cache distant");
    text += line("");
    text += line(french("        Nom              Type       Adresse hôte     Durée de vie [s]"));
    text += line("    ------------------------------------------------------------");
    return text + rows + line("");
}

std::string serverListLayout(const std::vector<std::string>& names) {
    if (names.empty()) {
        return line(french("Il n'y a pas d'entrée dans la liste.")) + line("");
    }
    std::string text =
        line("Nom du serveur            Remarque") + line("") + line(std::string(79, '-'));
    for (const std::string& name : names) {
        // The remark column starts at 26; the name is always followed by a blank, so that
        // the name of a line ends at its first blank however long it is.
        text += line("\\\\" + padded(name + " ", 24));
    }
    return text + line(french("La commande s'est terminée correctement.")) + line("");
}

std::string arpLayout(const std::vector<ArpInterface>& interfaces) {
    std::string text;
    for (const ArpInterface& block : interfaces) {
        text += line("");
        text += line("Interface : " + toText(block.address) + " --- 0x" +
                     hexNumber(static_cast<unsigned>(block.index)));
        text += line("  Adresse Internet      Adresse physique      Type");
        for (const ArpRow& row : block.rows) {
            text += line("  " + padded(toText(row.address), 22) +
                         padded(formatMac(row.mac, MacCase::Lower), 22) +
                         (row.dynamic ? "dynamique" : "statique"));
        }
    }
    return text + line("");
}

std::string noArpEntryLayout() {
    return line(french("Aucune entrée ARP trouvée."));
}

}  // namespace vt::adapters
