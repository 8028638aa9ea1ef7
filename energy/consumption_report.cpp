#include "energy/consumption_report.h"

#include <array>
#include <cstdio>

#include "core/strings.h"
#include "core/text_file.h"
#include "power/incident_reports.h"

namespace vt::energy {

using namespace std::chrono;

namespace {

std::string dateText(local_days day) {
    const year_month_day ymd(day);
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%02u/%02u/%04d", unsigned(ymd.day()),
                  unsigned(ymd.month()), int(ymd.year()));
    return text.data();
}

std::vector<std::string> numbers(const std::string& first, const DayConsumption& day,
                                 const EnergyRates& rates) {
    return {first,
            frenchDecimal(day.hoursOn, 2),
            frenchDecimal(rates.kilowattHours(day.hoursOn), 2),
            frenchDecimal(rates.cost(day.hoursOn), 2),
            frenchDecimal(day.hoursSaved, 2),
            frenchDecimal(rates.kilowattHours(day.hoursSaved), 2),
            frenchDecimal(rates.cost(day.hoursSaved), 2)};
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        line += field + ";";
    }
    return line;
}

}  // namespace

std::string estimateExplanation(const EnergyRates& rates) {
    return "Estimation faite à partir de l'historique consommation.csv, qui note chaque "
           "changement d'état d'un poste vu par un ping (voyants, fenêtre d'état, contrôle "
           "après allumage ou arrêt) ou par une commande d'allumage ou d'arrêt. Entre deux "
           "observations, un poste garde son dernier état connu ; avant la première, il est "
           "compté éteint. Énergie = heures allumées × " +
           shortFrenchDecimal(rates.watts) + " W ; coût à " +
           shortFrenchDecimal(rates.pricePerKwh) +
           " € le kWh. Économie : heures entre un arrêt programmé d'un poste allumé et son "
           "rallumage, au plus jusqu'à minuit (la nuit n'est pas comptée : estimation basse).";
}

std::string consumptionTitle(const std::optional<std::string>& group) {
    return "Consommation électrique - " + (group ? *group : std::string("tous les groupes"));
}

std::string consumptionSummary(const std::vector<DayConsumption>& days, const EnergyRates& rates) {
    const DayConsumption total = totalOf(days);
    return "Sur les " + std::to_string(days.size()) +
           " derniers jours : " + frenchDecimal(total.hoursOn, 1) + " h allumées, " +
           frenchDecimal(rates.kilowattHours(total.hoursOn), 1) + " kWh, " +
           frenchDecimal(rates.cost(total.hoursOn), 2) +
           " € ; économisé par les arrêts programmés : " + frenchDecimal(total.hoursSaved, 1) +
           " h, " + frenchDecimal(rates.kilowattHours(total.hoursSaved), 1) + " kWh, " +
           frenchDecimal(rates.cost(total.hoursSaved), 2) + " €";
}

std::vector<DayConsumption> estimateFromHistory(const VtlVar& state, const Services& services,
                                                const std::optional<std::string>& group) {
    return estimateConsumption(
        readHistory(services.platform.files, state.DataDir + kConsumptionFile), group,
        localSecondsOf(services.clock.now()));
}

const std::vector<std::string>& consumptionColumns() {
    static const std::vector<std::string> columns = {
        "Date",           "Heures allumées", "kWh", "Coût (€)", "Heures économisées",
        "kWh économisés", "Économie (€)"};
    return columns;
}

std::vector<std::string> consumptionRow(const DayConsumption& day, const EnergyRates& rates) {
    return numbers(dateText(day.day), day, rates);
}

DayConsumption totalOf(const std::vector<DayConsumption>& days) {
    DayConsumption total{};
    for (const DayConsumption& day : days) {
        total.hoursOn += day.hoursOn;
        total.hoursSaved += day.hoursSaved;
    }
    return total;
}

std::vector<std::string> consumptionCsvLines(const std::vector<DayConsumption>& days,
                                             const EnergyRates& rates) {
    std::vector<std::string> lines{csvLine(consumptionColumns())};
    for (const DayConsumption& day : days) {
        lines.push_back(csvLine(consumptionRow(day, rates)));
    }
    lines.push_back(csvLine(numbers("Total", totalOf(days), rates)));
    return lines;
}

std::string exportConsumption(const VtlVar& state, const Services& services,
                              const std::optional<std::string>& group,
                              const std::vector<DayConsumption>& days) {
    const std::string path =
        state.DataDir + (group ? "consommation-" + *group + ".csv" : kAllGroupsExportFile);
    saveTextLines(services.platform.files, path, consumptionCsvLines(days, ratesOf(state.Prefs)));
    power::openInSpreadsheet(services, path);
    return path;
}

}  // namespace vt::energy
