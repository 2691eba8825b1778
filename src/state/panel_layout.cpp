// The panel's pictures in the order they are made, with their fixed facts.
#include "state/panel_layout.h"

#include <array>

namespace cabsim {
namespace {

using E = PanelElement;
using K = SpriteKind;
using T = PanelTransparency;

constexpr std::array<PanelElementInfo, static_cast<size_t>(E::kOther0) + 1> kInfo{{
    {E::kCabSignal, "img_cabsignal", 30, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kNotchP, "img_lamp_p", 31, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kNotchB, "img_lamp_b", 32, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kNotchP2, "img_lamp_p2", 36, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kNotchB2, "img_lamp_b2", 34, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kGear, "img_lamp_gear", 35, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kGearLever, "img_gearlever", 32, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kDigitalSpeed, "img_digi_speed", 37, K::kPicture, T::kKeyBottomLeft, true, true, false},
    {E::kPanel, "img_Panel", 0, K::kPicture, T::kOpaque, true, false, false},
    {E::kPanel2, "img_Panel2", 50, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kLampDoor, "img_Lamp_Door", 51, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampPower, "img_Lamp_Power", 52, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampEB, "img_Lamp_EB", 53, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampGen, "img_Lamp_Gen", 54, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampAir, "img_Lamp_Air", 54, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampFin, "img_Lamp_fin", 55, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampEle, "img_Lamp_Ele", 26, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampAts1, "img_Lamp_Ats1", 57, K::kPicture, T::kKeyBottomLeft, false, false, false},
    {E::kLampAts2, "img_Lamp_Ats2", 58, K::kPicture, T::kKeyBottomLeft, false, false, false},
    {E::kLampAtsp1, "img_Lamp_Atsp1", 59, K::kPicture, T::kKeyBottomLeft, false, false, false},
    {E::kLampAtsp2, "img_Lamp_Atsp2", 60, K::kPicture, T::kKeyBottomLeft, false, false, false},
    {E::kLampFwd, "img_Lamp_Fwd", 11, K::kPicture, T::kKeyBottomLeft, true, false, false},
    {E::kLampBack, "img_Lamp_Bck", 12, K::kPicture, T::kKeyBottomLeft, false, false, false},
    {E::kLampConst, "img_Lamp_const", 72, K::kPicture, T::kKeyBottomLeft, false, false, false},
    {E::kLampStop, "img_Lamp_stopalert", 63, K::kPicture, T::kKeyBottomLeft, false, false, false},
    {E::kNeedleSpeed, "img_Needle_speed", 64, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kNeedleBC, "img_Needle_BC", 68, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kBarBC, "img_Needle_BC_L", 23, K::kRotating, T::kCollectionDefault, true, false, true},
    {E::kNeedleSAP, "img_Needle_SAP", 69, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kNeedleER, "img_Needle_ER", 65, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kNeedleBP, "img_Needle_BP", 67, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kNeedleMR, "img_Needle_MR", 66, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kBarMR, "img_Needle_MR_L", 24, K::kRotating, T::kOpaqueKeyed, true, false, true},
    {E::kNeedleV, "img_Needle_V", 70, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kNeedleI, "img_Needle_I", 71, K::kRotating, T::kKeyBottomLeft, true, false, false},
    {E::kOther0, "img_other", 20, K::kPicture, T::kKeyBottomLeft, false, false, false},
}};

PanelElementSource from_lamp(const Lamp& lamp) {
  return {lamp.file, lamp.x, lamp.y, 0, 0};
}

PanelElementSource from_meter(const Meter& meter) {
  return {meter.file, meter.x, meter.y, 0, 0};
}

PanelElementSource from_bar(const Meter& bar) {
  return {bar.file, bar.x, 0, 0, 0};  // a bar starts at the top
}

PanelElementSource from_indicator(const IndicatorImage& image) {
  return {image.file, image.x, image.y, image.pattern_width, image.pattern_height};
}

}  // namespace

const PanelElementInfo& panel_element_info(PanelElement e) {
  size_t i = static_cast<size_t>(e);
  return kInfo[i < kInfo.size() ? i : kInfo.size() - 1];
}

std::string other_picture_name(size_t index) {
  return "img_other" + std::to_string(index);
}

int32_t other_picture_depth(size_t index) {
  return 20 + static_cast<int32_t>(index);
}

PanelElementSource panel_element_source(const CabPanelDefinition& p, PanelElement e) {
  switch (e) {
    case E::kCabSignal:
      return from_indicator(p.Lamp_signal);
    case E::kNotchP:
      return from_indicator(p.NotchImageP);
    case E::kNotchB:
      return from_indicator(p.NotchImageB);
    case E::kNotchP2:
      return from_indicator(p.NotchImageP2);
    case E::kNotchB2:
      return from_indicator(p.NotchImageB2);
    case E::kGear:
      return from_indicator(p.GearImageList);
    case E::kGearLever:
      return from_indicator(p.GearImageList2);
    case E::kDigitalSpeed:
      return from_indicator(p.Digi_Speed);
    case E::kPanel:
      return from_lamp(p.Panel);
    case E::kPanel2:
      return from_lamp(p.Panel2);
    case E::kLampDoor:
      return from_lamp(p.Lamp_Door);
    case E::kLampPower:
      return from_lamp(p.Lamp_Power);
    case E::kLampEB:
      return from_lamp(p.Lamp_EB);
    case E::kLampGen:
      return from_lamp(p.Lamp_Gen);
    case E::kLampAir:
      return from_lamp(p.Lamp_Air);
    case E::kLampFin:
      return from_lamp(p.Lamp_Fin);
    case E::kLampEle:
      return from_lamp(p.Lamp_Ele);
    case E::kLampAts1:
      return from_lamp(p.Lamp_Ats1);
    case E::kLampAts2:
      return from_lamp(p.Lamp_Ats2);
    case E::kLampAtsp1:
      return from_lamp(p.Lamp_ATSP1);
    case E::kLampAtsp2:
      return from_lamp(p.Lamp_ATSP2);
    case E::kLampFwd:
      return from_lamp(p.Lamp_Fwd);
    case E::kLampBack:
      return from_lamp(p.Lamp_Back);
    case E::kLampConst:
      return from_lamp(p.Lamp_Const);
    case E::kLampStop:
      return from_lamp(p.Lamp_Stop);
    case E::kNeedleSpeed:
      return from_meter(p.Needle_Speed);
    case E::kNeedleBC:
      return from_meter(p.Needle_BC);
    case E::kBarBC:
      return from_bar(p.Needle_BC_L);
    case E::kNeedleSAP:
      return from_meter(p.Needle_SAP);
    case E::kNeedleER:
      return from_meter(p.Needle_ER);
    case E::kNeedleBP:
      return from_meter(p.Needle_BP);
    case E::kNeedleMR:
      return from_meter(p.Needle_MR);
    case E::kBarMR:
      return from_bar(p.Needle_MR_L);
    case E::kNeedleV:
      return from_meter(p.Needle_V);
    case E::kNeedleI:
      return from_meter(p.Needle_I);
    default:
      break;
  }
  size_t index = static_cast<size_t>(e) - static_cast<size_t>(E::kOther0);
  if (index >= kMaxOtherPictures || p.Others_count < 0 ||
      index >= static_cast<size_t>(p.Others_count))
    return {};
  return from_lamp(p.Others[index]);
}

PanelState initial_panel_state() {
  PanelState panel;
  for (size_t i = 0; i < kPanelElementCount; ++i) {
    const PanelElementInfo& info = panel_element_info(static_cast<PanelElement>(i));
    panel.sprites[i].visible = info.visible_at_start ? 1 : 0;
  }
  panel[E::kPanel2].alpha = 0;  // the tunnel shade starts fully see-through
  return panel;
}

void panel_run_start(PanelState& panel, bool ats_on) {
  panel.show(E::kLampEB, false);
  panel.show(E::kLampAts1, ats_on);
}

}  // namespace cabsim
