// Rendering and encoding the main films, the two inserts and the stills.
#include "demo_films.h"

#include <filesystem>
#include <thread>

#include "cab_view.h"
#include "demo_pictures.h"
#include "demo_routes.h"
#include "film_writer.h"

namespace demo {

namespace {

FilmReport encode(Output& out, const std::string& base, int frames,
                  const std::function<QImage(int)>& frame, bool quick) {
  std::string name = "movie\\" + base + ".avi";
  std::filesystem::path path = out.path(name);
  std::filesystem::create_directories(path.parent_path());
  FilmWriter writer(path.string(), kFilmWidth, kFilmHeight, kFps, quick);
  for (int f = 0; f < frames; ++f) {
    if (quick)
      writer.add_plain(uint8_t(40 + f % 50));
    else
      writer.add(frame(f));
  }
  writer.close();
  return {name, frames, static_cast<long long>(std::filesystem::file_size(path))};
}

/// The main film of one direction and, for the up direction, its inserts.
std::vector<FilmReport> direction_films(Output& out, bool up, bool quick) {
  Direction d = direction(up);
  SpeedProfile p = plan_run(d);
  CabView view(d, p);
  FilmNames names = film_names(up);
  std::vector<FilmReport> done;
  auto pick = [](std::function<QImage(int)> full) { return full; };
  done.push_back(
      encode(out, names.main, p.frame_count(), pick([&](int f) { return view.frame(f); }), quick));
  save_picture(out, std::string("image\\still\\still_") + (up ? "up" : "down") + ".bmp",
               view.frame(20));
  if (!up) return done;
  InsertPlan in = insert_plan(d, p);
  // The position-driven insert: a camera high on the cab roof, wide angle,
  // in step with the main film from its first frame on (and 65 frames beyond its end).
  Camera roof{-1.0, 4.2, 380, 1.0};
  done.push_back(encode(out, names.camera_insert, in.camera_length + 66, pick([&](int i) {
                          int f = in.camera_from + i;
                          return view.render(p.position_m(f), f / double(kFps), roof);
                        }),
                        quick));
  // The time-driven insert: the platform seen from its far end while our
  // train stands and the other train passes.
  const Station& st = d.stations[in.station_index];
  Camera platform{-5.0, 2.8, 480, 0};
  // The other train runs in at 80 km/h and passes the camera after 9 s.
  double meet = view.time_at(d.passing_train) - (st.stop - 40 + 200 - d.passing_train) / (80 / 3.6);
  done.push_back(encode(out, names.station_insert, in.station_length + 1, pick([&](int i) {
                          return view.render(st.stop - 40, meet + i / double(kFps), platform);
                        }),
                        quick));
  return done;
}

}  // namespace

std::vector<FilmReport> write_films(Output& out, bool quick) {
  std::vector<FilmReport> up, down;
  std::exception_ptr failure;
  std::thread second([&] {
    try {
      down = direction_films(out, false, quick);
    } catch (...) {
      failure = std::current_exception();
    }
  });
  up = direction_films(out, true, quick);
  second.join();
  if (failure) std::rethrow_exception(failure);
  up.insert(up.end(), down.begin(), down.end());
  return up;
}

}  // namespace demo
