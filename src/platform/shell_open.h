// Opening a document (the help page) with the desktop's default handler.
#pragma once

#include <filesystem>

namespace cabsim {

/// Hands `document` to the desktop's handler for its type. False when the
/// file does not exist or no handler took it.
bool open_document(const std::filesystem::path& document);

}  // namespace cabsim
