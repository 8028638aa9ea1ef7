#include "tools/service/service_options.h"

namespace vt::service {

ServiceOptions parseServiceOptions(const std::vector<std::string>& arguments) {
    ServiceOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            options.help = true;
        } else if (argument == "--data" && i + 1 < arguments.size() && !arguments[i + 1].empty()) {
            options.dataDirectory = arguments[++i];
        } else if (argument == "--data") {
            options.error = "--data attend un dossier";
        } else {
            options.error = "argument inconnu : " + argument;
        }
        if (!options.error.empty()) {
            return options;
        }
    }
    if (options.dataDirectory && options.dataDirectory->back() != '/' &&
        options.dataDirectory->back() != '\\') {
        options.dataDirectory->push_back('/');
    }
    return options;
}

}  // namespace vt::service
