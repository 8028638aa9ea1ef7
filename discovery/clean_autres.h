#pragma once

#include "core/VtlVar.h"
#include "core/services.h"
#include "platform/platform.h"

namespace vt::discovery {

// Removes from DataDir + "Autres" every machine that another group's file lists (marked or
// not), keeping the order of the rest: one line of "Autres" per listing group. A missing
// group file lists nothing. Shows "Nettoyage de " + group + "veuillez patienter... " for each
// group; FileError when "Autres" cannot be written.
void CleanAutres(const VtlVar& state, platform::FileSystem& files, StatusSink& status);

}  // namespace vt::discovery
