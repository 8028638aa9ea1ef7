#include "core/preference_fields.h"

#include "core/strings.h"

namespace vt {

namespace {

void takeWholeNumber(std::int32_t& setting, const std::string& typed) {
    if (const auto number = parseVtlInt(typed)) {
        setting = *number;
    }
}

}  // namespace

PreferenceFields preferenceFieldsOf(const VtlVar& state) {
    const Preferences& prefs = state.Prefs;
    PreferenceFields fields;
    fields.ip = state.WolTargetIp;
    fields.mask = state.WolTargetMask;
    fields.shutdownWait = std::to_string(prefs.shutdown_wait);
    fields.shutdownComment = prefs.shutdown_comment;
    fields.offset = std::to_string(prefs.offset);
    fields.ocsLogin = prefs.ocs_login;
    fields.ocsPassword = prefs.ocs_pwd;
    fields.ocsServer = prefs.ocs_server;
    fields.iprLogin = prefs.ipr_login;
    fields.iprUrl = prefs.ipr_url;
    fields.schoolZone = prefs.zone_vacances;
    fields.noPowerOnPublicHolidays = prefs.pas_allumage_feries;
    fields.wattsPerMachine = std::to_string(prefs.puissance_poste);
    fields.pricePerKwh = shortFrenchDecimal(prefs.prix_kwh);
    return fields;
}

void takePreferenceFields(VtlVar& state, const PreferenceFields& fields) {
    Preferences& prefs = state.Prefs;
    prefs.ip = fields.ip;
    if (!fields.ip.empty()) {
        state.WolTargetIp = fields.ip;
    }
    prefs.masque = fields.mask;
    if (!fields.mask.empty()) {
        state.WolTargetMask = fields.mask;
    }
    takeWholeNumber(prefs.shutdown_wait, fields.shutdownWait);
    if (!fields.shutdownComment.empty()) {
        prefs.shutdown_comment = fields.shutdownComment;
    }
    takeWholeNumber(prefs.offset, fields.offset);
    prefs.ocs_login = trim(fields.ocsLogin);
    prefs.ocs_pwd = trim(fields.ocsPassword);
    prefs.ocs_server = trim(fields.ocsServer);
    prefs.ipr_login = trim(fields.iprLogin);
    prefs.ipr_url = trim(fields.iprUrl);
    prefs.zone_vacances = fields.schoolZone;
    prefs.pas_allumage_feries = fields.noPowerOnPublicHolidays;
    if (const auto watts = parseVtlInt(fields.wattsPerMachine); watts && *watts >= 0) {
        prefs.puissance_poste = *watts;
    }
    if (const auto price = parseFrenchDecimal(fields.pricePerKwh)) {
        prefs.prix_kwh = *price;
    }
}

}  // namespace vt
