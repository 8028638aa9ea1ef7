#include "core/preference_fields.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace vt {
namespace {

VtlVar startedState() {
    VtlVar state;
    state.Prefs.ip = "";  // automatic detection: the file holds no address
    state.Prefs.masque = "";
    state.WolTargetIp = "192.168.1.12";
    state.WolTargetMask = "255.255.255.0";
    state.Prefs.shutdown_wait = 30;
    state.Prefs.shutdown_comment = "Fin des cours";
    state.Prefs.offset = 5;
    state.Prefs.ocs_server = "ocs";
    state.Prefs.ocs_login = "lecteur";
    state.Prefs.ocs_pwd = "secret";
    state.Prefs.ipr_url = "http://192.168.1.1/dhcp";
    state.Prefs.ipr_login = "admin";
    return state;
}

TEST(PreferenceFieldsTest, AddressesShowTheTargetAndAnEmptyOneKeepsIt) {
    VtlVar state = startedState();
    PreferenceFields fields = preferenceFieldsOf(state);
    EXPECT_EQ(fields.ip, "192.168.1.12");
    EXPECT_EQ(fields.shutdownWait, "30");
    // OK without a change: the detected address becomes the preference.
    takePreferenceFields(state, fields);
    EXPECT_EQ(state.Prefs.ip, "192.168.1.12");
    EXPECT_EQ(state.Prefs.masque, "255.255.255.0");
    // Emptied: the preference goes, the target of this run stays.
    fields.ip.clear();
    fields.mask.clear();
    takePreferenceFields(state, fields);
    EXPECT_EQ(state.Prefs.ip, "");
    EXPECT_EQ(state.Prefs.masque, "");
    EXPECT_EQ(state.WolTargetIp, "192.168.1.12");
    EXPECT_EQ(state.WolTargetMask, "255.255.255.0");
}

struct NumberCase {
    const char* typed;
    std::int32_t taken;  // the value after OK, from 30
};

class PreferenceNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(PreferenceNumberTest, WaitAndOffsetChangeOnlyForWholeNumbers) {
    VtlVar state = startedState();
    state.Prefs.offset = 30;
    PreferenceFields fields = preferenceFieldsOf(state);
    fields.shutdownWait = GetParam().typed;
    fields.offset = GetParam().typed;
    takePreferenceFields(state, fields);
    EXPECT_EQ(state.Prefs.shutdown_wait, GetParam().taken) << GetParam().typed;
    EXPECT_EQ(state.Prefs.offset, GetParam().taken) << GetParam().typed;
}

INSTANTIATE_TEST_SUITE_P(Table, PreferenceNumberTest,
                         ::testing::Values(NumberCase{"45", 45}, NumberCase{" 45", 45},
                                           NumberCase{"-3", -3}, NumberCase{"$10", 16},
                                           NumberCase{"30s", 30}, NumberCase{"45 ", 30},
                                           NumberCase{"", 30}, NumberCase{"abc", 30},
                                           NumberCase{"99999999999", 30}));

TEST(PreferenceFieldsTest, CommentCannotBeEmptiedAndServerValuesLoseTheirBlanks) {
    VtlVar state = startedState();
    PreferenceFields fields = preferenceFieldsOf(state);
    fields.shutdownComment.clear();
    fields.ocsServer = "  10.0.0.5:3306 ";
    fields.ocsLogin = " ocs";
    fields.ocsPassword = "mot de passe ";
    fields.iprUrl = " http://10.0.0.1/ ";
    fields.iprLogin = "";
    takePreferenceFields(state, fields);
    EXPECT_EQ(state.Prefs.shutdown_comment, "Fin des cours");
    EXPECT_EQ(state.Prefs.ocs_server, "10.0.0.5:3306");
    EXPECT_EQ(state.Prefs.ocs_login, "ocs");
    EXPECT_EQ(state.Prefs.ocs_pwd, "mot de passe");
    EXPECT_EQ(state.Prefs.ipr_url, "http://10.0.0.1/");
    EXPECT_EQ(state.Prefs.ipr_login, "");

    fields.shutdownComment = "Extinction du soir";
    takePreferenceFields(state, fields);
    EXPECT_EQ(state.Prefs.shutdown_comment, "Extinction du soir");
}

TEST(PreferenceFieldsTest, PriceTakesADecimalCommaOrPointAndWattsAWholeNumber) {
    VtlVar state = startedState();
    PreferenceFields fields = preferenceFieldsOf(state);
    EXPECT_EQ(fields.pricePerKwh + " " + fields.wattsPerMachine, "0,25 60");
    for (const auto& [typed, price, watts] :
         std::vector<std::tuple<std::string, double, int>>{{"0,1952", 0.1952, 60},
                                                           {" 0.18 ", 0.18, 60},
                                                           {"45", 45, 45},
                                                           {"1,2,5", 45, 45},
                                                           {"-1", 45, 45},
                                                           {"0,2 €", 45, 45},
                                                           {"", 45, 45}}) {
        fields.pricePerKwh = fields.wattsPerMachine = typed;
        takePreferenceFields(state, fields);
        EXPECT_DOUBLE_EQ(state.Prefs.prix_kwh, price) << typed;
        EXPECT_EQ(state.Prefs.puissance_poste, watts) << typed;
    }
}

}  // namespace
}  // namespace vt
