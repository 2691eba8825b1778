// The path and message file, the controller key map, the help text and the
// driving guide of the demo program directory.
#include "demo_texts.h"

namespace demo {

namespace {

void cabworks(Output& out) {
  TextFile t;
  t.line("; 文字列ファイル — make_demo が生成");
  t.line("[Path]").line("movie\\");
  t.line("[Forward]").line("前進").line("[Neutral]").line("中立").line("[Reverse]").line("後退");
  t.line("[Stop]").line(" 停車").line("[Pass]").line(" 通過").line("[Stop2]").line(" 運転停車");
  t.line("[Neut]")
      .line("切")
      .line("[Neut2]")
      .line("中立")
      .line("[Apply]")
      .line("常用")
      .line("[Maintain]")
      .line("重なり");
  t.line("[Hold]")
      .line("抑速")
      .line("[Hold2]")
      .line("抑速2")
      .line("[EB]")
      .line("非常")
      .line("[Const]")
      .line("定速");
  t.line("[Cars]").line("両編成");
  t.line("[TC]").line("交通信号あり");
  t.line("[Stops]").line("交通信号まで").line("交通信号 停止 残り");
  t.line("[Doors]").line("左側").line("右側");
  t.line("[Gears]").line("N").line("1速").line("2速").line("3速").line("4速").line("直結");
  t.line("[InfoLabel]");
  // Lines 0 and 1 the stations, 2 to 7 the notices, 8 to 21 the commentary.
  for (const char* s : {"次は 運転停車",
                        "ドアを閉めてください",
                        "ATS-P 停止パターン接近",
                        "パターン接近 残り",
                        "制限 まで",
                        "(次 ",
                        "照査)",
                        "制限)",
                        "ホームは左側です。PageUp で左側のドアを選んでください。",
                        "ホームは右側です。PageDown で右側のドアを選んでください。",
                        "映像に合わせて走行中です。力行を切ってください。",
                        "ATS のブレーキが動作しています。停車するまでお待ちください。",
                        "停車しました。ブレーキを非常位置にして R キーで ATS を復帰してください。",
                        "ATS 警報です。ブレーキをかけてスペースキーで確認してください。",
                        "EB 装置が作動します。ハンドルを操作してください。",
                        "注意信号です。速度を落としてください。",
                        "減速信号です。速度を落としてください。",
                        "警戒信号です。25km/h 以下に落としてください。",
                        " 停止位置が近づいています。ブレーキをかけてください。",
                        "(予備)",
                        "ATS が切れています。",
                        "映像の終わりです。BackSpace で折り返してください。"})
    t.line(s);
  t.line("#");
  t.line("[Start]")
      .line("開始(&S)")
      .line("[Move]")
      .line("移動(&M)")
      .line("[Display]")
      .line("表示(&D)");
  t.line("[Control]").line("コントローラ(&C)").line("[Save]").line("保存(&S)");
  out.write("cabworks.dat", t);
}

/// Codes of a typical serial master controller: "P" + notch, "N", "B" +
/// step, "EB", reverser and the four buttons.
void mascon(Output& out) {
  TextFile t;
  for (const char* code :
       {"P1", "P2", "P3", "P4", "P5", "P6", "N",   "B1",  "B2",  "B3",  "B4",   "B5",   "B6",
        "B7", "B8", "EB", "RF", "RN", "RB", "SW0", "SW3", "SW7", "SW1", "SPR1", "SPR2", "SPR3"})
    t.line(code);
  t.line(
      "# 以上 26 行: 1 行目から順に P1..P6, N, B1..B8, 非常, 逆転器 前/中/後, ボタン 4 個, 予備 3 "
      "個");
  out.write("mascon.dat", t);
}

void operation(Output& out) {
  TextFile t;
  t.line("操作説明");
  for (const char* s :
       {"■ 運転の始め方", "  画面をクリックすると運転を開始します。", "", "■ 主幹制御器 (力行)",
        "  Z: 力行を1段下げる  A: 力行を1段上げる", "  S: 力行 切", "■ ブレーキ",
        "  . (ピリオド): ブレーキを1段強める  , (カンマ): 1段弱める",
        "  / : 非常ブレーキ  M: ブレーキ緩め", "■ 逆転器", "  ↑: 前進側へ  ↓: 後退側へ", "■ その他",
        "  Enter: 信号喚呼  Space: ATS確認  BackSpace: 折り返し", "  1, 3, 7: 警笛とブザー",
        "  マウスホイール: ハンドル操作", "", "■ 停車のしかた",
        "  停止位置目標に合わせて止まると、ドアが開きます。",
        "  発車時刻に発車メロディが鳴り、ドアが閉まります。"})
    t.line(s);
  out.write("operation.dat", t);
}

void readme(Output& out) {
  TextFile t;
  for (const char* s : {"<!DOCTYPE html>",
                        "<html lang=\"ja\">",
                        "<head>",
                        "<meta charset=\"Shift_JIS\">",
                        "<title>デモ線 運転ガイド / Demo line driving guide</title>",
                        "</head>",
                        "<body>",
                        "<h1>デモ線 運転ガイド</h1>",
                        "<p>"
                        "花見台から星ヶ丘までの約4kmの複線の郊外路線です。上りと下りを、時刻表のあ"
                        "る列車または自由運転で運転できます。</p>",
                        "<p>下りの「自由運転 (ATC)」は信号を運転台に示す区間です。TZ100形 ATC "
                        "(train_tz100_atc.dat) で運転すると、車内信号が許す速度を示します。</p>",
                        "<h2>始め方</h2>",
                        "<p>"
                        "タイトル画面をクリックし、路線を選び、列車の絵をクリックします。運転画面を"
                        "クリックすると運転が始まります。</p>",
                        "<h2>キー操作</h2>",
                        "<ul>",
                        "<li>A / Z: 力行を上げる / 下げる、S: 力行切</li>",
                        "<li>. / ,: ブレーキを強める / 弱める、/: 非常ブレーキ</li>",
                        "<li>↑ / ↓: 逆転器</li>",
                        "<li>Enter: 信号喚呼、Space: ATS確認</li>",
                        "<li>マウスホイール: ハンドル操作</li>",
                        "</ul>",
                        "<h2>コントローラ</h2>",
                        "<p>シリアル接続のマスコンは mascon.dat "
                        "のコードで、USBコントローラは「コントローラ」メニューで設定します。</p>",
                        "<h2>メニュー</h2>",
                        "<p>開始、移動 (駅へ移動)、表示 (喚呼・解説・情報表示)、保存 "
                        "(運転状態を3つまで保存) があります。</p>",
                        "<hr>",
                        "<h1>Demo line driving guide</h1>",
                        "<p>A double-track suburban line of about 4 km from Hanamidai to "
                        "Hoshigaoka, driven in both directions "
                        "with a timetabled train or freely.</p>",
                        "<p>The down run \"free (ATC)\" is signalled in the cab: driven with "
                        "the TZ100 ATC (train_tz100_atc.dat), the cab signal shows the speed "
                        "it allows.</p>",
                        "<h2>Starting</h2>",
                        "<p>Click the title picture, choose a run, then click the train picture. "
                        "Click the cab view to start.</p>",
                        "<h2>Keys</h2>",
                        "<ul>",
                        "<li>A / Z: power notch up / down, S: power off</li>",
                        "<li>. / ,: brake one step stronger / weaker, /: emergency brake</li>",
                        "<li>Up / Down: reverser</li>",
                        "<li>Enter: call the signal, Space: acknowledge ATS</li>",
                        "<li>Mouse wheel: the handles</li>",
                        "</ul>",
                        "<h2>Controllers</h2>",
                        "<p>Serial master controllers send the codes listed in mascon.dat; USB "
                        "controllers are set up in the Controller menu.</p>",
                        "<h2>Menus</h2>",
                        "<p>Start, Move (to a station), Display (calls, commentary, information) "
                        "and Save (up to three running states).</p>",
                        "</body>",
                        "</html>"})
    t.line(s);
  out.write("readme.html", t);
}

}  // namespace

void write_texts(Output& out) {
  cabworks(out);
  mascon(out);
  operation(out);
  readme(out);
}

}  // namespace demo
