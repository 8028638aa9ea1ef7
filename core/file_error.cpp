#include "core/file_error.h"

namespace vt {

FileError FileError::cannotOpen(std::string_view path) {
    return FileError("Impossible d'ouvrir le fichier " + std::string(path));
}

FileError FileError::cannotCreate(std::string_view path) {
    return FileError("Impossible de créer le fichier " + std::string(path));
}

}  // namespace vt
