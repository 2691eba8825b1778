// The one error type of definition files: it carries the exact message the
// program shows in its message box before it ends.
#pragma once

#include <stdexcept>
#include <string>

namespace cabsim {

/// A definition file (or a file it names) could not be used. `what()` is the
/// message shown to the user, in UTF-8, exactly as the program words it.
class DefinitionError : public std::runtime_error {
 public:
  explicit DefinitionError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace cabsim
