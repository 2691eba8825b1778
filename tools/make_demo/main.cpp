// make_demo: generates the demo line's complete program directory (films,
// sounds, pictures, definition files), the same bytes on every run.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include <QGuiApplication>

#include "cab_view.h"
#include "demo_assets.h"
#include "demo_films.h"
#include "demo_output.h"
#include "demo_pictures.h"
#include "demo_routes.h"
#include "demo_sounds.h"
#include "demo_texts.h"
#include "demo_trains.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_demo OUTPUT_DIR [--quick]\n");
    return 2;
  }
  bool quick = argc > 2 && std::strcmp(argv[2], "--quick") == 0;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  try {
    if (argc == 4 &&
        (std::strcmp(argv[1], "--frame-up") == 0 || std::strcmp(argv[1], "--frame-down") == 0)) {
      // A single frame of a main film as PNG, for looking at the rendering.
      bool up = std::strcmp(argv[1], "--frame-up") == 0;
      demo::Direction d = demo::direction(up);
      demo::CabView view(d, demo::plan_run(d));
      return view.frame(std::atoi(argv[2])).save(argv[3], "PNG") ? 0 : 1;
    }
    demo::Output out(argv[1]);
    demo::SoundList sounds;
    demo::write_texts(out);
    std::vector<demo::PanelDesign> panels = demo::write_trains(out, sounds);
    std::vector<demo::StafCard> cards = demo::write_routes(out, sounds);
    demo::draw_panels(out, panels);
    demo::draw_signals_and_signs(out);
    demo::draw_title_and_cards(out, cards);
    // The title screen's sounds: the click on the train and the music played
    // when there is no opening film.
    sounds.add("sound\\start.wav", demo::SoundKind::departure_signal);
    sounds.add("sound\\40248.wav", demo::SoundKind::title_music);
    demo::write_sounds(out, sounds);
    demo::write_opening_film(out);
    auto start = std::chrono::steady_clock::now();
    for (const demo::FilmReport& f : demo::write_films(out, quick))
      std::printf("%s: %d frames, %lld bytes\n", f.file.c_str(), f.frames, f.bytes);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("films rendered and encoded in %.1f s\n", seconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
