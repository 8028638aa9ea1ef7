#pragma once

// The fields of the preferences dialog: what each shows when it opens and how OK takes it
// back into the shared state. Nothing reaches "vtl.ini" here; the preferences are written at
// exit and when the group source dialog is confirmed.

#include <string>

#include "core/VtlVar.h"

namespace vt {

struct PreferenceFields {
    std::string shutdownWait;     // shutdown_wait_pref
    std::string shutdownComment;  // shutdown_comment_pref
    std::string ip;               // IP_pref
    std::string mask;             // masque_pref
    std::string offset;           // offset_pref
    std::string ocsServer;        // Eocs_server
    std::string ocsLogin;         // Eocs_login
    std::string ocsPassword;      // Eocs_pwd
    std::string iprUrl;           // url_ipr_prefs
    std::string iprLogin;         // login_ipr_prefs
    std::string schoolZone;       // zone_vacances_pref: "A", "B", "C" or empty
    // feries_pref
    bool noPowerOnPublicHolidays = false;
    std::string wattsPerMachine;  // puissance_pref
    std::string pricePerKwh;      // prix_kwh_pref
};

// The fields at each opening. The address and mask shown are the effective Wake-on-LAN
// target, not the file's possibly empty values.
PreferenceFields preferenceFieldsOf(const VtlVar& state);

// OK: the address and mask are taken as typed (an empty one empties the preference and keeps
// the effective target); the wait time and the offset only when they are whole numbers; the
// shutdown comment only when not empty; the inventory and router values without the blanks
// around them.
void takePreferenceFields(VtlVar& state, const PreferenceFields& fields);

}  // namespace vt
