// The train settings and crew-change dialogs.
#include "shell/run_dialogs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace cabsim {

Tjumpdlg::Tjumpdlg(QWidget* parent) : QDialog(parent) {
  setObjectName("jumpdlg");
  setWindowTitle(QString::fromUtf8("列車設定"));
  auto* layout = new QVBoxLayout(this);

  RadioGroup2 = new QGroupBox("ATS", this);
  RadioGroup2->setObjectName("RadioGroup2");
  auto* ats = new QHBoxLayout(RadioGroup2);
  ats_on_button = new QRadioButton(QString::fromUtf8("入"), RadioGroup2);
  ats_off_button = new QRadioButton(QString::fromUtf8("切"), RadioGroup2);
  ats->addWidget(ats_on_button);
  ats->addWidget(ats_off_button);
  layout->addWidget(RadioGroup2);
  connect(ats_on_button, &QRadioButton::clicked, this, [this] {
    if (ats_chosen) ats_chosen(true);
  });
  connect(ats_off_button, &QRadioButton::clicked, this, [this] {
    if (ats_chosen) ats_chosen(false);
  });

  RadioGroup4 = new QGroupBox(QString::fromUtf8("機関始動"), this);
  RadioGroup4->setObjectName("RadioGroup4");
  auto* engine = new QHBoxLayout(RadioGroup4);
  engine_start_button = new QRadioButton(QString::fromUtf8("始動"), RadioGroup4);
  engine_run_button = new QRadioButton(QString::fromUtf8("運転"), RadioGroup4);
  engine_off_button = new QRadioButton(QString::fromUtf8("切"), RadioGroup4);
  engine_run_button->setChecked(true);
  for (QRadioButton* b : {engine_start_button, engine_run_button, engine_off_button}) {
    engine->addWidget(b);
    connect(b, &QRadioButton::clicked, this, [this, b] { engine_clicked(b); });
  }
  layout->addWidget(RadioGroup4);

  Button1 = new QPushButton("OK", this);
  Button1->setObjectName("Button1");
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(Button1, 0, Qt::AlignRight);
  // The arrow and function keys reach the run, not the radio buttons.
  for (QWidget* w : findChildren<QWidget*>()) w->setFocusPolicy(Qt::ClickFocus);
}

void Tjumpdlg::showEvent(QShowEvent* event) {
  const bool on = !ats_is_on || ats_is_on();
  (on ? ats_on_button : ats_off_button)->setChecked(true);
  QDialog::showEvent(event);
}

void Tjumpdlg::engine_clicked(QRadioButton* button) {
  if (button == engine_start_button) {
    if (engine_start_chosen) engine_start_chosen();
    engine_run_button->setChecked(true);  // the engine runs after its start
  } else if (button == engine_off_button) {
    if (engine_stop_chosen) engine_stop_chosen();
  }
}

void Tjumpdlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return QDialog::keyPressEvent(event);
  if (forward_keys) forward_keys(event);
}

TkotaiStop::TkotaiStop(QWidget* parent) : QDialog(parent) {
  setObjectName("kotaiStop");
  setWindowTitle(QString::fromUtf8("交代しますか？"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("乗務員交代駅です。"), this));
  layout->addWidget(
      new QLabel(QString::fromUtf8("運転継続をクリックすると続けて運転します。"), this));
  auto* buttons = new QHBoxLayout;
  OKBtn = new QPushButton(QString::fromUtf8("運転継続"), this);
  OKBtn->setObjectName("OKBtn");
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QString::fromUtf8("運転終了"), this);
  CancelBtn->setObjectName("CancelBtn");
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  layout->addLayout(buttons);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace cabsim
