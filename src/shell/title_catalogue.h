// The run catalogue of the title screen: the eight entries of the run menu
// with their pictures, route files, map pictures and places, and the other
// fixed names and places of the title form.
#pragma once

#include <array>

namespace cabsim {

struct CatalogueEntry {
  const char* name;         ///< component name, line1 … line8
  const char* picture;      ///< the entry's picture; empty: none (shown as an empty area)
  const char* route_file;   ///< the run it starts
  const char* map_picture;  ///< shown in map01 when the entry is chosen
  int x, y;                 ///< place on the run menu
  bool choosable;           ///< false: no click or mouse-down handler
};

/// Up runs in the left column, down runs in the right; the down runs show the
/// maps of the corresponding up runs. The third entry has no picture and
/// cannot be chosen.
inline constexpr std::array<CatalogueEntry, 8> kRunCatalogue{{
    {"line1", "image\\title\\line01.bmp", "line_up_827M.dat", "image\\title\\line01_map.bmp", 120,
     195, true},
    {"line2", "image\\title\\line02.bmp", "line_up_837M.dat", "image\\title\\line02_map.bmp", 120,
     260, true},
    {"line3", "", "line_up_3821M.dat", "image\\title\\line03_map.bmp", 120, 325, false},
    {"line4", "image\\title\\line04.bmp", "line_up_free.dat", "image\\title\\line04_map.bmp", 120,
     390, true},
    {"line5", "image\\title\\line05.bmp", "line_down_838M.dat", "image\\title\\line05_map.bmp", 470,
     195, true},
    {"line6", "image\\title\\line06.bmp", "line_down_832M.dat", "image\\title\\line02_map.bmp", 470,
     260, true},
    {"line7", "image\\title\\line07.bmp", "line_down_3834M.dat", "image\\title\\line03_map.bmp",
     470, 325, true},
    {"line8", "image\\title\\line08.bmp", "line_down_free.dat", "image\\title\\line04_map.bmp", 470,
     390, true},
}};

/// The title pictures, one chosen at random when the form is made.
inline constexpr std::array<const char*, 6> kTitlePictures{
    "image\\title\\title01.jpg", "image\\title\\title02.jpg", "image\\title\\title03.jpg",
    "image\\title\\title04.jpg", "image\\title\\title05.jpg", "image\\title\\title06.jpg"};
inline constexpr const char* kMenuPicture = "image\\title\\title2.jpg";
inline constexpr const char* kTrainPicture = "image\\title\\train1.bmp";
inline constexpr const char* kOpeningFilm = "move\\opening.avi";
/// Played on the title when there is no opening film.
inline constexpr const char* kTitleMusic = "sound\\40248.wav";
/// Played when a run is started.
inline constexpr const char* kStartSound = "sound\\start.wav";
inline constexpr const char* kReadme = "readme.html";
/// The file whose presence tells that the program stands in its folder.
inline constexpr const char* kProgramFolderMark = "cabworks.dat";
/// The train driven when none was chosen in the file dialog.
inline constexpr const char* kStandardTrain = "train_tz100.dat";

inline constexpr const char* kNotInPlace = "実行ファイルが正しい場所に配置されていません";
inline constexpr const char* kOpeningCannotOpen = "オープニングムービーを開けません";
inline constexpr const char* kTrainDialogTitle = "この路線を任意の列車で運転することができます";
inline constexpr const char* kTrainDialogFilter = "列車データファイル (*.dat)";
inline constexpr const char* kFolderDialogTitle = "運転する路線のフォルダを選んでください";
inline constexpr const char* kFolderButtonTip = "路線フォルダを選ぶ (cabworks.dat のあるフォルダ)";

}  // namespace cabsim
