#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vt {

// A file that could not be opened or written. The windows catch it at the event boundary
// and show its French message; the rest of the handler is not carried out.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    static FileError cannotOpen(std::string_view path);
    static FileError cannotCreate(std::string_view path);
};

}  // namespace vt
