// The nine print settings: paper, print font size, raster density and
// aspect, four margins and line numbering.  The configuration file keeps
// those that differ from their defaults as "Print" lines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

constexpr int kPrintItems = 9;

enum PrintItem : int {
  PRINT_PAPERSIZE = 0,
  PRINT_FONTSIZE,
  PRINT_DENSITY,
  PRINT_ASPECT,
  PRINT_TOPMARG,
  PRINT_LEFTMARG,
  PRINT_BOTTOMMARG,
  PRINT_RIGHTMARG,
  PRINT_LINENUM,
};

struct PrintItemDef {
  char name[20];   // the configuration file key
  uint8_t def;     // built-in value
  uint8_t lowest;  // values outside lowest..highest are refused when read
  uint8_t highest;
};

// The dialogue's limits: four paper sizes, a raster at most 1900 pixels
// wide (the page strip holds 2048), line numbering on or off.
inline constexpr std::array<PrintItemDef, kPrintItems> itemTxt = {{
    {"PaperSize", 0, 0, 3},
    {"FontSize", 20, 1, 255},
    {"Density", 128, 1, 190},
    {"Aspect", 118, 1, 255},
    {"TopMarg", 10, 0, 255},
    {"LeftMarg", 7, 0, 255},
    {"BottomMarg", 10, 0, 255},
    {"RightMarg", 7, 0, 255},
    {"LineNum", 0, 0, 1},
}};

// The settings in force.
extern std::array<uint8_t, kPrintItems> printVal;

// All nine to their defaults.
void getPrintDef();
// Appends "Print %s %d\n" for each setting that differs from its default.
void savePrint(std::string& out);
// One "Print" line after its section word: the item name and a decimal
// value.  Returns false (nothing stored) for an unknown name or a value
// outside the item's range.
bool loadPrintCfg(std::string_view name, std::string_view value);
