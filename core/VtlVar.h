#pragma once

// The shared state of the program: one record that every window reads and writes.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt {

// One field per key of "vtl.ini". The window geometry keys ("left", "top", "height") are
// applied to the main window and not kept here.
struct Preferences {
    std::string pdc;
    std::string esu;
    std::string datapath;
    std::string ip;
    std::string masque;
    std::int32_t cleft = 0;
    std::int32_t ctop = 0;
    std::int32_t cheight = 0;
    std::int32_t shutdown_wait = 0;
    std::string shutdown_comment;
    std::int32_t offset = 0;
    std::string ocs_login;
    std::string ocs_pwd;
    std::string ocs_server;
    std::string ipr_url;
    std::string ipr_login;
    // "A", "B" or "C": no power-on on that zone's school holidays; empty, no zone.
    std::string zone_vacances;
    bool pas_allumage_feries = false;
    // What the consumption window counts a machine's hour on at.
    std::int32_t puissance_poste = 60;  // W
    double prix_kwh = 0.25;             // euros
};

// Today's times of one group, as its row shows and edits them.
struct GroupDaySchedule {
    std::string PowerOnTime = "0:00";
    std::string ShutdownTime = "0:00";
    std::string Duration;
    std::string Comment;
};

// How an address list's copy stands to its file (core/address_lists.h).
struct AddressListFile {
    // The file's last-write time when the copy was read or written; nothing before.
    std::optional<std::chrono::system_clock::time_point> stamp;
    // Lines learned by the program that the file does not hold yet.
    std::vector<std::string> pending;
};

struct VtlVar {
    // Directories. DataDir ends with the separator; file names are appended to it directly.
    std::string DataDir;
    std::string EsuBaseDir;

    Preferences Prefs;

    // Effective Wake-on-LAN target and the local interfaces it falls back to.
    std::string WolTargetIp;
    std::string WolTargetMask;
    std::vector<std::string> LocalAddresses;
    std::vector<std::string> LocalMasks;

    // Shared lists.
    std::vector<std::string> GroupList;
    std::vector<std::string> MacList;
    std::vector<std::string> IpList;
    AddressListFile MacListFile;
    AddressListFile IpListFile;
    std::vector<std::string> WolIncidents;
    std::vector<std::string> ShutdownIncidents;
    std::vector<std::string> PatchList;
    std::vector<std::string> IpDiscoverList;

    // Today's schedule of every group, parallel to GroupList.
    std::vector<GroupDaySchedule> Schedules;

    // Run-time values, never saved.
    std::string OtherGroupName = "Autres";
    std::string CurrentGroup;
    std::string CurrentMachine;
    std::string IprPassword;
    std::uint16_t JobCounter = 0;
    std::int32_t TickCount = 0;
    int EditedGroupIndex = 0;
    int EditedTimeField = 0;
    int CommentGroupIndex = 0;
};

}  // namespace vt
