#include "core/preferences.h"

#include <optional>
#include <string_view>

#include "core/file_error.h"
#include "core/strings.h"
#include "core/text_file.h"

namespace vt {

namespace {

inline constexpr int kDefaultConsoleHeight = 310;

// The settings of the file as read: a key is the text before a line's first "=", compared
// without regard to case, and the first line that names it wins.
class PreferenceLines {
public:
    explicit PreferenceLines(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

    std::optional<std::string> value(std::string_view key) const {
        for (const std::string& line : m_lines) {
            SplitResult split = splitAtFirst(line, "=");
            if (split.found && equalsNoCase(split.before, key)) {
                return std::move(split.after);
            }
        }
        return std::nullopt;
    }

    std::string text(std::string_view key) const { return value(key).value_or(std::string()); }

    std::optional<std::int32_t> integer(std::string_view key) const {
        const std::optional<std::string> raw = value(key);
        return raw ? parseVtlInt(*raw) : std::nullopt;
    }

private:
    std::vector<std::string> m_lines;
};

// The file keeps the inventory password: only its owner may read it.
void writePreferencesFile(platform::FileSystem& files, const std::string& path,
                          const std::vector<std::string>& lines) {
    if (!files.writePrivateFile(path, toWindows1252(joinLines(lines)))) {
        throw FileError::cannotCreate(path);
    }
}

}  // namespace

void LoadPreferences(VtlVar& state, platform::FileSystem& files, WindowGeometry& mainWindow,
                     bool createWhenMissing) {
    if (!files.exists(kPreferencesFile)) {
        // A first start: an empty file marks the place, every value keeps its default.
        if (createWhenMissing) {
            writePreferencesFile(files, state.DataDir + kPreferencesFile, {});
        }
        return;
    }
    const PreferenceLines file(loadTextLines(files, kPreferencesFile));
    Preferences& prefs = state.Prefs;

    prefs.pdc = file.text("pdc");
    prefs.esu = file.text("esu");
    prefs.datapath = file.text("datapath");
    if (!prefs.datapath.empty()) {
        state.DataDir = prefs.datapath;
    }
    prefs.ip = file.text("ip");
    prefs.masque = file.text("masque");

    if (const auto left = file.integer("left")) {
        mainWindow.left = *left;
    }
    if (const auto top = file.integer("top")) {
        mainWindow.top = *top;
    }
    if (const auto height = file.integer("height")) {
        mainWindow.height = *height;
    }
    // The console opens against the main window's right edge unless it has a place of its own.
    // 32-bit arithmetic that wraps, so an extreme "left" cannot overflow.
    const auto rightEdge = static_cast<std::int32_t>(static_cast<std::uint32_t>(mainWindow.left) +
                                                     static_cast<std::uint32_t>(mainWindow.width));
    prefs.cleft = file.integer("cleft").value_or(rightEdge);
    prefs.ctop = file.integer("ctop").value_or(mainWindow.top);
    prefs.cheight = file.integer("cheight").value_or(kDefaultConsoleHeight);

    if (const auto wait = file.integer("shutdown_wait")) {
        prefs.shutdown_wait = *wait;
    }
    prefs.shutdown_comment = file.text("shutdown_comment");
    if (const auto offset = file.integer("offset")) {
        prefs.offset = *offset;
    }
    prefs.ocs_login = file.text("ocs_login");
    prefs.ocs_pwd = file.text("ocs_pwd");
    prefs.ocs_server = file.text("ocs_server");
    prefs.ipr_url = file.text("ipr_url");
    prefs.ipr_login = file.text("ipr_login");
    const std::string zone = toUpperAscii(trim(file.text("zone_vacances")));
    prefs.zone_vacances = zone == "A" || zone == "B" || zone == "C" ? zone : std::string();
    prefs.pas_allumage_feries = file.integer("pas_allumage_feries").value_or(0) != 0;
    if (const auto watts = file.integer("puissance_poste"); watts && *watts >= 0) {
        prefs.puissance_poste = *watts;
    }
    if (const auto price = parseFrenchDecimal(file.text("prix_kwh"))) {
        prefs.prix_kwh = *price;
    }
}

std::vector<std::string> preferencesFileLines(const VtlVar& state,
                                              const WindowGeometry& mainWindow) {
    const Preferences& prefs = state.Prefs;
    const auto number = [](std::int64_t value) { return std::to_string(value); };
    return {
        "pdc=" + prefs.pdc,
        "esu=" + prefs.esu,
        "datapath=" + prefs.datapath,
        "ip=" + prefs.ip,
        "masque=" + prefs.masque,
        "left=" + number(mainWindow.left),
        "top=" + number(mainWindow.top),
        "height=" + number(mainWindow.height),
        "cleft=" + number(prefs.cleft),
        "ctop=" + number(prefs.ctop),
        "cheight=" + number(prefs.cheight),
        "shutdown_wait=" + number(prefs.shutdown_wait),
        "shutdown_comment=" + prefs.shutdown_comment,
        "offset=" + number(prefs.offset),
        "ocs_login=" + prefs.ocs_login,
        "ocs_pwd=" + prefs.ocs_pwd,
        "ocs_server=" + prefs.ocs_server,
        "ipr_url=" + prefs.ipr_url,
        "ipr_login=" + prefs.ipr_login,
        "zone_vacances=" + prefs.zone_vacances,
        "pas_allumage_feries=" + number(prefs.pas_allumage_feries ? 1 : 0),
        "puissance_poste=" + number(prefs.puissance_poste),
        "prix_kwh=" + shortFrenchDecimal(prefs.prix_kwh),
    };
}

void SavePreferences(const VtlVar& state, platform::FileSystem& files,
                     const WindowGeometry& mainWindow) {
    writePreferencesFile(files, state.DataDir + kPreferencesFile,
                         preferencesFileLines(state, mainWindow));
}

void ReadLocalAddresses(VtlVar& state, const platform::Network& network) {
    state.LocalAddresses.clear();
    state.LocalMasks.clear();
    for (const platform::Ipv4Interface& entry : network.localInterfaces()) {
        state.LocalAddresses.push_back(entry.address);
        state.LocalMasks.push_back(entry.mask);
    }
}

void setEffectiveWolTarget(VtlVar& state) {
    const auto firstOf = [](const std::vector<std::string>& list) {
        return list.empty() ? std::string() : list.front();
    };
    state.WolTargetIp = state.Prefs.ip.empty() ? firstOf(state.LocalAddresses) : state.Prefs.ip;
    state.WolTargetMask =
        state.Prefs.masque.empty() ? firstOf(state.LocalMasks) : state.Prefs.masque;
}

}  // namespace vt
