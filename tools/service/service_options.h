#pragma once

// The service's command line: `vt_service [--data DIR]`.

#include <optional>
#include <string>
#include <vector>

namespace vt::service {

inline constexpr const char* kServiceUsage =
    "usage : vt_service [--data DOSSIER]\r\n"
    "Exécute les horaires de mise en marche et d'arrêt des groupes du dossier de données\r\n"
    "(par défaut le dossier du programme), sans fenêtre ; le journal va sur la sortie d'erreur.";

struct ServiceOptions {
    std::optional<std::string> dataDirectory;  // as typed; ends with "/" once accepted
    bool help = false;
    std::string error;  // French, empty when the line is sound
};

ServiceOptions parseServiceOptions(const std::vector<std::string>& arguments);

}  // namespace vt::service
