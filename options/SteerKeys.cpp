#include "options/SteerKeys.h"

#include "text/Translatable.h"

namespace stringart {
namespace {

constexpr SteerKeyRow kVariations[] = {
    {"Left; Right; Up; Down", QT_TRANSLATE_NOOP("SteerKeys", "select a figure of the grid")},
    {"Return; Enter",
     QT_TRANSLATE_NOOP("SteerKeys", "show the selected figure; the grid centres on it")},
    {"Space", QT_TRANSLATE_NOOP("SteerKeys", "eight other figures around the same centre")},
    {"Tab", QT_TRANSLATE_NOOP("SteerKeys",
                              "the strength, whose arrows make the variations subtler or wilder")},
    {"Ctrl+M",
     QT_TRANSLATE_NOOP("SteerKeys", "save a morph from the centre to the selected figure")},
    {"Esc", QT_TRANSLATE_NOOP("SteerKeys", "close")},
};

constexpr SteerKeyRow kAdjust[] = {
    {"Tab; Shift+Tab",
     QT_TRANSLATE_NOOP("SteerKeys", "the next or the previous slider, value or colour")},
    {"Left; Right", QT_TRANSLATE_NOOP("SteerKeys",
                                      "move a slider by about 0.001; the figure is kept once it "
                                      "has rested half a second")},
    {"PgUp; PgDown", QT_TRANSLATE_NOOP("SteerKeys", "move a slider by about 0.02")},
    {"Return", QT_TRANSLATE_NOOP("SteerKeys", "set the value typed")},
    {"Esc", QT_TRANSLATE_NOOP("SteerKeys", "close")},
};

}  // namespace

std::span<const SteerKeyRow> VariationsKeyTable() {
  return kVariations;
}

std::span<const SteerKeyRow> AdjustKeyTable() {
  return kAdjust;
}

}  // namespace stringart
