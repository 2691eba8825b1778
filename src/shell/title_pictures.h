// The pictures that belong to the title form itself (the buttons, the
// cursor and the loading sign): taken from image\title\ of the program
// folder when a route folder brings its own, drawn here otherwise.
#pragma once

#include <QPixmap>
#include <QString>
#include <filesystem>

namespace cabsim {

/// `folder` chooses the route folder on the title picture.
enum class TitleButton { cts, quit, back, HELP, cursor, loading, folder };

/// The picture of `button`: image\title\<name>.bmp of `program_dir` when it
/// can be read (the cursor with its bottom-left colour transparent), else
/// the form's own drawing, made at the screen's device pixel ratio so that
/// its caption stays crisp on a scaled screen.
QPixmap title_button_picture(const std::filesystem::path& program_dir, TitleButton button);

/// The component name of `button` (its file name without ".bmp", lower case).
QString title_button_name(TitleButton button);

}  // namespace cabsim
