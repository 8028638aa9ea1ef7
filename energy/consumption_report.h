#pragma once

// What the consumption window shows and exports: the estimate of the last 30 days for one
// group or for all, its rows as text, and the CSV file opened in the spreadsheet.

#include <optional>
#include <string>
#include <vector>

#include "core/VtlVar.h"
#include "core/services.h"
#include "energy/consumption_estimate.h"

namespace vt::energy {

inline constexpr const char* kAllGroupsExportFile = "consommation-tous.csv";

// How the estimate is made, as the window says it.
std::string estimateExplanation(const EnergyRates& rates);
// "Consommation électrique - SALLE1" or "... - tous les groupes".
std::string consumptionTitle(const std::optional<std::string>& group);

// "Sur les 30 derniers jours : ... kWh (... €) ; économisé par les arrêts programmés : ..."
std::string consumptionSummary(const std::vector<DayConsumption>& days, const EnergyRates& rates);

// The estimate of the last 30 days from the data folder's history, until the clock's now.
std::vector<DayConsumption> estimateFromHistory(const VtlVar& state, const Services& services,
                                                const std::optional<std::string>& group);

// One row a day, as the window and the export show it: the date, the hours on, kWh, cost,
// then the hours, kWh and euros saved, numbers with a decimal comma.
std::vector<std::string> consumptionRow(const DayConsumption& day, const EnergyRates& rates);
DayConsumption totalOf(const std::vector<DayConsumption>& days);
const std::vector<std::string>& consumptionColumns();

// The header, one line a day, then the total, fields joined by ";".
std::vector<std::string> consumptionCsvLines(const std::vector<DayConsumption>& days,
                                             const EnergyRates& rates);
// DataDir + "consommation-GROUPE.csv" (or "consommation-tous.csv"), written then opened in
// the spreadsheet; the path. FileError when it cannot be written.
std::string exportConsumption(const VtlVar& state, const Services& services,
                              const std::optional<std::string>& group,
                              const std::vector<DayConsumption>& days);

}  // namespace vt::energy
