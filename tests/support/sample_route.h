// A complete route file of a short made-up line, written by the tests in
// UTF-8 (the tests store it in Shift-JIS): every key of the route file once.
#pragma once

#include <string>

namespace cabsim::test {

/// Call sounds 0 to 21 of `[KankoSound1]`, one per line.
inline std::string sample_kanko_sound1() {
  std::string lines;
  for (int i = 0; i < 22; ++i) lines += "kanko\\k" + std::to_string(i) + ".wav\n";
  return lines;
}

/// Three segments: 0-900 at 36 km/h, 900-1800 from 36 to 72 km/h, 1800-2700
/// from 72 km/h to a stand. Stations at frames 150, 900 (passed) and 2700.
inline std::string sample_route_text() {
  return "- 路線の基本設定\n"
         "[LineName]\n東西線 上り 各駅停車\n"
         "[LineName2]\n東西線\n"
         "[StartPos]\n120\n"
         "[FrameRate]\n30\n"
         "[Staf]\nstaf\\スタフ.bmp\nstaf\\start.bmp\n"
         "[Friction]\n0.35\n"
         "[StafSwitch]\n240\n2\n#\n"
         "[MovieStop]\n2690\n#\n"
         "[MovieSwitch]\n2,2600,2700,駅構内,300,2,32460000,10,1\n#\n"
         "[Speed_Signal]\n0\n25\n45\n75\n110\n#\n"
         "[DataName]\ntozai_up\n"
         "[Perspective]\n12.5\n80\n"
         "[Pre_Train]\n100,2500\n32300000,0,500\n32350000,1,900\n#\n"
         "[OneMan]\n0\n"
         "[SoundData]\nsound\\door.wav\nsound\\発車メロディ.wav\n#\n"
         "[Monitor]\ntrain_other.dat\n1\n2\n3\n4\nother.bmp\n"
         "[Monitor]\ntrain_tz100.dat\n10\n20\n30\n40\nmonitor.bmp\n"
         "[Announce]\n1\n1,1,2,300\n0,0,0,100\n#\n"
         "[KankoSound1]\n" +
         sample_kanko_sound1() +
         "[KankoSound2]\nkanko\\k22.wav\nkanko\\k23.wav\nkanko\\k24.wav\n#\n"
         "[Sound]\n; 走行音のきっかけ\n0,100,60,0,1,1,0\n;\n1,700,60,0,0,1,0\n#\n"
         "[Sound2]\n1,0,2\n#\n"
         "[Doppler]\n0,600,5000,0\n#\n"
         "[Tunnel]\n1200,1500,128\n#\n"
         "[Atten]\n1200,1500,0,50\n#\n"
         "[TunnelR]\n12\n"
         "[Station]\n"
         "東西駅,0,150,1000,0,1,0,32400000,60,1,0,0,0,300,5,0,100\n"
         "中野,1,900,1000,0,0,0,32430000,75,0,0,0,0,300,5,0,100\n"
         "西町,0,2700,1500,0,1,0,32460000,0,1,1,0,0,310,6,1,90\n"
         "#\n"
         "[StopSound]\n1\n#\n"
         "[Signal]\n"
         "0,0,0,3,100,400,380,400,0,0,0,0,0\n"
         "3,0,0,3,1700,2650,2600,2650,0,2,1,1,0\n"
         "#\n"
         "[TrafficSignal]\n"
         "1000,950,1100,1,30,1,2,5,0,3,10,0,0,0,0,0,0,0,0,0,0,1050,1090,4,5,0\n"
         "#\n"
         "[Slope]\n-2.5,0,900\n10,900,2700\n#\n"
         "[Sign]\n0,100,200,1\n#\n"
         "[Anim]\n0,300,400,2\n#\n"
         "[SignalKanko]\n0,0,1\n#\n"
         "[StationKanko]\n0,1,2\n#\n"
         "[SpeedLimit]\n45,0,1,400,500\n#\n"
         "[SpeedCheck1]\n45,0,60,0\n45,0,600,0\n#\n"
         "[SpeedCheck2]\n25,0,2600,2700\n#\n"
         "[SignImageList]\nsign\\a.bmp\n#\n"
         "[OtherImageList]\nother\\limit45.bmp\nother\\limit45.wav\n#\n"
         "[AnimImageList]\nanim\\a.bmp\n#\n"
         "[SignalImageList]\nsignal\\s0.bmp\nsignal\\s1.bmp\n#\n"
         "[TrafficSignalImageList]\ntraffic\\t0.bmp\n#\n"
         "[SignalImageList2]\nsignal\\sub0.bmp\n#\n"
         "[SpeedUnit]\n0,900,36,36\n900,1800,36,72\n1800,2700,72,0\n#\n"
         "[CrossImageList]\ncross\\c0.bmp\n#\n"
         "[Cross]\n0,5,1000,1100,0\n#\n"
         "[Time]\n100,200,32401000\n#\n"
         "[Switch]\n700,1\n#\n";
}

}  // namespace cabsim::test
