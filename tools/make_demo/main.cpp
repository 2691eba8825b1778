// make_demo: generates the demo line's complete program directory (films,
// sounds, pictures, definition files), the same bytes on every run.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include <QGuiApplication>

#include "demo_assets.h"
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
  (void)quick;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  try {
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
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo: %s\n", e.what());
    return 1;
  }
  return 0;
}
