// The cab panel's share of one operation tick: every gauge and lamp rule, the
// tunnel shade over a full tunnel table, and copying the panel state onto the
// sprites of a panel with every picture present.
#include <benchmark/benchmark.h>

#include <QImage>
#include <filesystem>

#include "presentation/panel_gauges.h"
#include "presentation/panel_lamps.h"
#include "shell/cab_panel_view.h"

namespace cabsim {
namespace {

TrainParams bench_train() {
  TrainParams train;
  train.Brake = 8;
  train.BrakeType = 1;
  CabPanelDefinition& p = train.panel;
  for (Meter* m : {&p.Needle_Speed, &p.Needle_BC, &p.Needle_SAP, &p.Needle_ER, &p.Needle_BP,
                   &p.Needle_MR, &p.Needle_V, &p.Needle_I}) {
    m->zero_angle = 30;
    m->scale = 1.5L;
  }
  p.Needle_Speed.low_speed_scale = 3;
  p.Needle_BC_L.zero_angle = 600;
  p.Needle_BC_L.scale = 0.25L;
  p.Needle_MR_L = p.Needle_BC_L;
  return train;
}

RouteTables bench_route() {
  RouteTables route;
  route.Tunnel_count = static_cast<int32_t>(kMaxTunnels);
  for (size_t i = 0; i < kMaxTunnels; ++i)
    route.Tunnel[i] = {0, 0, 180, static_cast<int32_t>(i * 10000),
                       static_cast<int32_t>(i * 10000 + 8000)};
  return route;
}

void BM_PanelRulesOfOneTick(benchmark::State& state) {
  TrainParams train = bench_train();
  RouteTables route = bench_route();
  RunState s = initial_run_state(train);
  RunView view;
  for (auto& sprite : view.panel.sprites) {
    sprite.present = 1;
    sprite.pattern_count = 200;
  }
  int tick = 0;
  for (auto _ : state) {
    s.speed = (tick % 1600) / 10.0L;
    s.motor_current = (tick % 7) * 100;
    s.position = tick * 250.0L;
    update_panel_gauges(s, view, train);
    update_running_lamps(s, view, train);
    update_tunnel_shade(view.panel, route, s.position, false);
    benchmark::DoNotOptimize(view.panel);
    ++tick;
  }
}
BENCHMARK(BM_PanelRulesOfOneTick);

/// A panel with every picture present, all made from one 48 x 48 picture
/// written to a temporary folder.
struct FullPanel {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "cabsim_panel_bench";
  PictureList pictures;
  SpriteEngine engine;
  CabPanelView view{pictures, engine};
  PanelState state = initial_panel_state();

  FullPanel() {
    std::filesystem::create_directories(folder);
    QImage picture(48, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) picture.setPixel(x, y, qRgb(x * 5, y * 5, (x ^ y) * 4));
    picture.save(QString::fromStdString((folder / "p.bmp").string()), "BMP");
    CabPanelDefinition p;
    for (Lamp* l :
         {&p.Panel, &p.Panel2, &p.Lamp_Door, &p.Lamp_Power, &p.Lamp_EB, &p.Lamp_Gen, &p.Lamp_Air,
          &p.Lamp_Fin, &p.Lamp_Ele, &p.Lamp_Ats1, &p.Lamp_Ats2, &p.Lamp_ATSP1, &p.Lamp_ATSP2,
          &p.Lamp_Fwd, &p.Lamp_Back, &p.Lamp_Const, &p.Lamp_Stop})
      *l = {"p.bmp", 100, 450};
    for (Meter* m : {&p.Needle_Speed, &p.Needle_BC, &p.Needle_BC_L, &p.Needle_SAP, &p.Needle_ER,
                     &p.Needle_BP, &p.Needle_MR, &p.Needle_MR_L, &p.Needle_V, &p.Needle_I})
      m->file = "p.bmp";
    for (IndicatorImage* i : {&p.Lamp_signal, &p.NotchImageP, &p.NotchImageB, &p.NotchImageP2,
                              &p.NotchImageB2, &p.GearImageList, &p.GearImageList2, &p.Digi_Speed})
      *i = {200, 420, 16, 16, "p.bmp"};
    p.Others_count = static_cast<int32_t>(kMaxOtherPictures);
    for (Lamp& other : p.Others) other = {"p.bmp", 400, 400};
    view.make_indicators(p, folder, state);
    view.make_panel(p, folder, state);
  }
  ~FullPanel() { std::filesystem::remove_all(folder); }
};

void BM_ApplyPanelStateToSprites(benchmark::State& state) {
  FullPanel panel;
  int tick = 0;
  for (auto _ : state) {
    panel.state[PanelElement::kNeedleSpeed].angle = tick++ % 255;
    panel.view.apply(panel.state);
    benchmark::ClobberMemory();
  }
  state.counters["sprites"] = panel.engine.count();
}
BENCHMARK(BM_ApplyPanelStateToSprites);

}  // namespace
}  // namespace cabsim

BENCHMARK_MAIN();
