#include "discovery/router_methods.h"

#include <gtest/gtest.h>

#include "discovery/router_page.h"
#include "tests/support/fixture_files.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir_test.h"

namespace vt::discovery {
namespace {

using test::TempDirTest;
using Lines = std::vector<std::string>;

struct PageCase {
    const char* name;
    Lines page;
    std::optional<Lines> names;  // nothing: the page is refused
};

class PageCaseTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageCaseTest, Names) {
    const auto leases = readRouterPage(GetParam().page);
    ASSERT_EQ(leases.has_value(), GetParam().names.has_value());
    if (leases) {
        Lines names;
        for (const RouterLease& lease : *leases) {
            names.push_back(lease.name);
        }
        EXPECT_EQ(names, *GetParam().names);
    }
}

const Lines kHead{"<h2>Baux dhcp</h2>", "<tr><th>MAC</th>", "</tr>"};

Lines page(std::initializer_list<Lines> parts) {
    Lines lines = kHead;
    for (const Lines& part : parts) {
        lines.insert(lines.end(), part.begin(), part.end());
    }
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageCaseTest,
    ::testing::Values(
        PageCase{"NoTitle", test::fixtureLines("http/ipr-no-table.html"), std::nullopt},
        PageCase{"NoHeaderRowEnd", {"Baux dhcp", "MAC"}, std::nullopt},
        PageCase{"MacBeforeTheTitleDoesNotCount", {"MAC</tr>", "Baux dhcp", "</tr>"}, std::nullopt},
        PageCase{"EmptyTable", page({{"</table>"}}), Lines{}},
        PageCase{"PageEndsInsideARow",
                 page({{"<tr>", "<td>1</td>", "<td>10.0.0.1</td>", "<td>PC1"}}), Lines{}},
        PageCase{"RowWithoutItsEndIsTheLast",
                 page({{"<tr>", "<td>1</td>", "<td>10.0.0.1</td>", "<td>PC1</td>", "<td>m</td>",
                        "<tr>", "<td>2</td>", "<td>10.0.0.2</td>", "<td>PC2</td>", "<td>m</td>"}}),
                 Lines{"PC1"}},
        PageCase{
            "TableEndStopsTheRows",
            page({{"<tr>", "<td>1</td>", "<td>a</td>", "<td>PC1</td>", "<td>m</td>", "</tr>",
                   "</table>", "<tr>", "<td>2</td>", "<td>b</td>", "<td>PC2</td>", "<td>m</td>"}}),
            Lines{"PC1"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(RouterPageTest, CellTextIsBetweenTheFirstTagEndAndTheNextTag) {
    EXPECT_EQ(cellText("<td> 192.168.1.21 </td>"), "192.168.1.21");
    EXPECT_EQ(cellText("<td class=\"x\">PC<b>20</b></td>"), "PC");
    EXPECT_EQ(cellText("no tag"), "no tag");
    EXPECT_EQ(cellText("<td>" + std::string(300, 'a') + "</td>"), std::string(255, 'a'));
}

class RouterMethodsTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        state.DataDir = path("");
        state.GroupList = {"SALLE1", "CDI", "Autres"};
        router = std::make_unique<RouterMethods>(state, services(), http, http2, nullptr);
    }
    test::RecordingHttpClient http;
    test::RecordingHttpClient http2;
    std::unique_ptr<RouterMethods> router;
};

TEST_F(RouterMethodsTest, RouterRequestCarriesTheAccountPortAndAgent) {
    router->startRouterRequest("s3cret");
    ASSERT_EQ(http.requests.size(), 1u);
    const HttpGet& request = http.requests.front();
    EXPECT_EQ(request.url, "http://ipr/admin/ipr/cgi-bin/dhcp.cgi");
    EXPECT_EQ(request.user, "admin");
    EXPECT_EQ(request.password, "s3cret");
    EXPECT_EQ(request.defaultPort, 4008);
    EXPECT_EQ(request.userAgent, "JEDI-VCL");
    EXPECT_EQ(request.file, "http.txt");
    EXPECT_EQ(state.IprPassword, "s3cret");
    EXPECT_EQ(status.texts, Lines{"Envoi d'une requete vers ipr..."});
    EXPECT_EQ(console.lines, Lines{"Envoi d'une requete vers ipr..."});

    state.Prefs.ipr_login = "root";
    state.Prefs.ipr_url = "http://10.0.0.1:8080/dhcp.cgi";
    router->startRouterRequest("");
    EXPECT_EQ(http.requests.back().user, "root");
    EXPECT_EQ(http.requests.back().url, "http://10.0.0.1:8080/dhcp.cgi");
}

TEST_F(RouterMethodsTest, PageFillsTheListsAndTheGroupsAsItShowsThem) {
    writeLines("SALLE1", {"SALLE1-05*"});
    writeLines("Autres", {"CDI-01"});
    writeLines("liste.ip", state.IpList = {"pc20 10.9.9.9"});
    writeLines("liste.mac", state.MacList = {"CDI-01 aa-aa"});
    router->startRouterRequest("x");
    console.lines.clear();
    http.complete(files(), test::fixtureBytes("http/ipr-dhcp.html"));

    EXPECT_EQ(state.IpList,
              (Lines{"pc20 10.9.9.9", "salle1-05 192.168.1.21", "CDI-01 192.168.1.22"}));
    EXPECT_EQ(state.MacList,
              (Lines{"CDI-01 aa-aa", "PC20 00:11:22:33:44:55", "salle1-05 00:11:22:33:44:66"}));
    EXPECT_EQ(readLines("liste.ip"), state.IpList);
    EXPECT_EQ(readLines("liste.mac"), state.MacList);
    // The marked line is not doubled; the CDI group did not exist and now holds its machine.
    EXPECT_EQ(readLines("SALLE1"), Lines{"SALLE1-05*"});
    EXPECT_EQ(readLines("CDI"), Lines{"CDI-01"});
    EXPECT_EQ(readLines("Autres"), Lines{"PC20"});
    const Lines expectedStart{
        "Lecture des données d'IPR...",
        "Enregistrment machine PC20 IP : 192.168.1.20 MAC : 00:11:22:33:44:55",
        "PC20 ne correspond à aucun groupe de machines "};
    EXPECT_EQ(Lines(console.lines.begin(), console.lines.begin() + 3), expectedStart);
    EXPECT_EQ(console.lines.back(), "Analyse de IPR terminée");
    EXPECT_EQ(status.texts.back(), "Analyse de IPR terminée");
}

TEST_F(RouterMethodsTest, PageWithoutTheTableChangesNothing) {
    writeLines("Autres", {"B", "A"});
    state.IpList = {"x 1"};
    router->startRouterRequest("x");
    console.lines.clear();
    status.texts.clear();
    http.complete(files(), test::fixtureBytes("http/ipr-no-table.html"));
    EXPECT_EQ(console.lines, (Lines{"Lecture des données d'IPR...", "Echec de lecture IPR!"}));
    EXPECT_EQ(status.texts, Lines{"Lecture des données d'IPR..."});
    EXPECT_EQ(readLines("Autres"), (Lines{"B", "A"}));
    EXPECT_FALSE(fileExists("liste.ip"));
    EXPECT_EQ(state.IpList, Lines{"x 1"});
}

TEST_F(RouterMethodsTest, FailedDownloadIsSaidAndUnusableNamesAreNotRecorded) {
    router->startRouterRequest("x");
    http.fail("connexion refusée");
    EXPECT_EQ(console.lines.back(),
              "Echec : impossible de lire la page de l'ipr! : connexion refusée");
    router->startRouterRequest("x");
    http.complete(files(),
                  "Baux dhcp\nMAC</tr>\n<tr>\n<td>1\n<td>10.0.0.1\n<td>PC 1\n<td>m1\n</tr>\n"
                  "<tr>\n<td>2\n<td>10.0.0.2\n<td> \n<td>m2\n</tr>\n"
                  "<tr>\n<td>3\n<td>10.0.0.3\n<td>PC\v3\n<td>m3\n</tr>\n"
                  "<tr>\n<td>4\n<td>10.0.0.4\n<td>PC& CALC\n<td>m4\n</tr>\n</table>\n");
    EXPECT_TRUE(state.IpList.empty());
    EXPECT_TRUE(state.MacList.empty());
    EXPECT_EQ(readLines("Autres"), Lines{});
    EXPECT_NE(std::find(console.lines.begin(), console.lines.end(),
                        "IPR : 1 ligne(s) sans nom de machine ignorée(s)"),
              console.lines.end());
    EXPECT_NE(std::find(console.lines.begin(), console.lines.end(),
                        "IPR : 3 nom(s) de machine refusé(s) (blanc, caractère de contrôle ou "
                        "réservé, chemin, ou plus de 255 caractères)"),
              console.lines.end());
}

TEST_F(RouterMethodsTest, LeasesDownloadAndItsTwoEnds) {
    router->GetDHCPDleases();
    ASSERT_EQ(http2.requests.size(), 1u);
    EXPECT_EQ(http2.requests.front().url, "http://dhcp/dhcpd.leases");
    EXPECT_EQ(http2.requests.front().user, "");
    EXPECT_EQ(http2.requests.front().defaultPort, 80);
    EXPECT_EQ(http2.requests.front().userAgent, "JEDI-VCL");
    EXPECT_EQ(http2.requests.front().file, "dhcpd.leases");
    http2.complete(files(), "lease");
    http2.fail("connexion refusée");
    EXPECT_EQ(console.lines,
              (Lines{"Envoi d'une requete vers leases...", "le fichier dhcpd.leases a été créé.",
                     "Echec : impossible de connecter au serveur leases! : "
                     "connexion refusée"}));

    const test::ScopedEnvironment url("VANTOREL_LEASES_URL", "http://10.0.0.5:8000/l");
    router->GetDHCPDleases();
    EXPECT_EQ(http2.requests.back().url, "http://10.0.0.5:8000/l");
}

}  // namespace
}  // namespace vt::discovery
